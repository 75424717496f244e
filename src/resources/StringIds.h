#pragma once

// Ids of the string table. Language files name each text by its key (in the
// language key table); the program looks it up by these ids.
inline constexpr int kStringAboutMenuItem = 101;     // the system menu's About item
inline constexpr int kStringLanguageInEnglish = 102;
inline constexpr int kStringError = 105;
inline constexpr int kStringWarning = 108;
inline constexpr int kStringBrowseCaption = 110;
inline constexpr int kStringOriginalSize = 111;
inline constexpr int kStringCustomSize = 112;
inline constexpr int kStringOriginalFrameRate = 113;
inline constexpr int kStringCustomFrameRate = 114;
inline constexpr int kStringOutputFile = 115;
inline constexpr int kStringResolution = 116;
inline constexpr int kStringPreserveAspectRatio = 117;
inline constexpr int kStringResizeStretch = 118;
inline constexpr int kStringOpenFile = 119;          // also the title of the Open Video chooser
inline constexpr int kStringOptionsTip = 120;
inline constexpr int kStringConvertTip = 121;
inline constexpr int kStringCannotOpenFile = 122;
inline constexpr int kStringNoDuration = 123;
// The Convert button's labels: their translations sit among the language
// file's dialog texts (IDC_BUTTON_STOP, IDC_BUTTON_CONVERT).
inline constexpr int kStringStop = 124;
inline constexpr int kStringConvert = 125;
inline constexpr int kStringRestart = 126;
inline constexpr int kStringFileExists = 131;
inline constexpr int kStringStopConverting = 143;
inline constexpr int kStringDone = 163;
// Texts of the conversion's progress and its end.
inline constexpr int kStringPicturesProgress = 170;
inline constexpr int kStringTimeLeft = 171;
inline constexpr int kStringPicturesWritten = 172;
inline constexpr int kStringOpenFolderTip = 173;
inline constexpr int kStringFolderNotOpened = 174;
// Entries of the Options dialog's deinterlacing list.
inline constexpr int kStringDeinterlaceOff = 175;
inline constexpr int kStringDeinterlaceAutomatic = 176;
inline constexpr int kStringDeinterlaceAlways = 177;
