#pragma once

#include <QString>

// The main window's fixed texts.
namespace MainWindowTexts {

inline const QString kBrowserNotStarted = QStringLiteral(
    "The Program does not launch your web browser to access %1 ,\nPlease launch your web browser and input the URL "
    "manually.");
inline const QString kBrowserNotStartedCaption = QStringLiteral("unknown errors");
inline const QString kZeroClock = QStringLiteral("00:00:00");

} // namespace MainWindowTexts
