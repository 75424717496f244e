#pragma once

#include <QString>

// The main window's fixed texts.
namespace MainWindowTexts {

inline const QString kBrowserNotStarted = QStringLiteral(
    "The Program does not launch your web browser to access %1 ,\nPlease launch your web browser and input the URL "
    "manually.");
inline const QString kBrowserNotStartedCaption = QStringLiteral("unknown errors");
inline const QString kZeroClock = QStringLiteral("00:00:00");
inline const QString kPicturesProgress = QStringLiteral("Pictures: %1 of %2");
inline const QString kTimeLeft = QStringLiteral("Time left: %1");
inline const QString kPicturesWritten = QStringLiteral("Pictures written: %1");
inline const QString kOpenFolderTip = QStringLiteral("Open the output folder");
inline const QString kFolderNotOpened = QStringLiteral("The folder %1 could not be opened.");

} // namespace MainWindowTexts
