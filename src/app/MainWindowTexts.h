#pragma once

#include <QString>

// The main window's fixed texts and the string-table ids it shows.
namespace MainWindowTexts {

inline constexpr char kHomePage[] = "https://framelift.example/";

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

inline constexpr int kStringError = 105;
inline constexpr int kStringWarning = 108;
inline constexpr int kStringOpenVideo = 119; // also the tooltip of Open Video
inline constexpr int kStringOptionsTip = 120;
inline constexpr int kStringConvertTip = 121;
// The Convert button's labels: string-table ids whose translations sit among
// the language file's dialog texts (IDC_BUTTON_STOP, IDC_BUTTON_CONVERT).
inline constexpr int kStringStop = 124;
inline constexpr int kStringConvert = 125;
inline constexpr int kStringStopConverting = 143;

} // namespace MainWindowTexts
