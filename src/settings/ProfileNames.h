#pragma once

#include <QString>

// Section and value names as they are stored in the profile. Do not rename
// them, misspellings included: existing profiles rely on them.
namespace ProfileNames {
inline const QString kSettings = QStringLiteral("Settings");
inline const QString kOption = QStringLiteral("Option");
inline const QString kVideoCompress = QStringLiteral("DexVideoCompress");
inline const QString kAudioCompress = QStringLiteral("DexAudioCompress");

inline const QString kOutputFormat = QStringLiteral("nOuptputFormat");
inline const QString kOutputPictureFolder = QStringLiteral("OutputPictureFolder");
inline const QString kOutputWidth = QStringLiteral("OutputWidth");
inline const QString kOutputHeight = QStringLiteral("OutputHigh");
inline const QString kOutputFrameRateIndex = QStringLiteral("OutputFrameRateIndex");
inline const QString kOutputFrameRate = QStringLiteral("OutputFrameRate");
inline const QString kJpegQuality = QStringLiteral("nCurrentJpegQuality");
inline const QString kSamplingInterval = QStringLiteral("n_Sampling_interval");
inline const QString kOutputName = QStringLiteral("OutputName");
inline const QString kCompressorNumber = QStringLiteral("CompressorNumber");
inline const QString kCurrentLanguage = QStringLiteral("CurrentLanguage");
inline const QString kLastPhotoFolder = QStringLiteral("LastPhotoFolder");
inline const QString kToneMapHdr = QStringLiteral("ToneMapHdr");
inline const QString kDeinterlaceMode = QStringLiteral("DeinterlaceMode");

// Values of the slideshow controls an older build kept in the same profile:
// "TransitionSettings" with "PhotoDuration", "TransitionDuration",
// "TransitionType" and "TransitionName", and "LastAudioFolder" in "Option".
// Nothing here reads or writes them, so a profile holding them keeps them.
} // namespace ProfileNames
