#pragma once

#include <QString>

// The main window's fixed texts.
namespace MainWindowTexts {

inline const QString kBrowserNotStarted = QStringLiteral(
    "The Program does not launch your web browser to access %1 ,\nPlease launch your web browser and input the URL "
    "manually.");
inline const QString kBrowserNotStartedCaption = QStringLiteral("unknown errors");
inline const QString kZeroClock = QStringLiteral("00:00:00");

// Convert's checks and a running conversion's status line.
inline const QString kEndBeforeStart = QStringLiteral("The End Time must be bigger than the Start Time");
inline const QString kWarning = QStringLiteral("Warning");
inline const QString kFrameRateQuestion = QStringLiteral(
    "The output frame rate is %1.The value may not be proper.\nClick Yes to set the output frame rate 23.976. "
    "Click No to keep it.");
inline const QString kProgress = QStringLiteral("Please wait... Used Time: %1");

} // namespace MainWindowTexts
