#pragma once

#include "platform/shell/Shell.h"

#include <QString>

class MessageService;
class QObject;
class QWidget;

// Opens target with the desktop's URL handler; when that fails, starts the
// desktop's registered handler for HTML pages with target as one more
// argument (the handler's command line cut at its first file or URL field
// code). Returns at once; done gets the launch code (above 32 is success)
// once it is known, unless receiver is gone by then.
void LaunchTarget(Shell& shell, const QString& target, QObject* receiver, LaunchDone done);

// The handler's command line up to its first file or URL field code: a
// quoted "%1" first, else %1 or one of the desktop-entry codes %u %U %f %F.
QString CutAtFieldCode(const QString& command);

// "Unable to open hyperlink:" and the reason for a launch code, captioned
// with the application's title.
QString LaunchErrorText(int code);
void ShowLaunchError(MessageService& messages, QWidget* owner, int code);
