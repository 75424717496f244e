#pragma once

#include <QString>

class MessageService;
class QWidget;

// The temporary bitmap name formed when the main window starts:
// <temporary folder>/BMP303B.TMP, as GetTempFileName forms it from the prefix
// "BMP" and the number 12347, without creating the file. A stale file of that
// name is deleted. Each failure is shown with caption (the "Error" string);
// an empty name is returned when none can be formed. The picture writers do
// not use the file.
QString TemporaryBitmapName(MessageService& messages, QWidget* owner, const QString& caption,
                            const QString& temporaryFolder);
// The same in the system's temporary folder.
QString TemporaryBitmapName(MessageService& messages, QWidget* owner, const QString& caption);
