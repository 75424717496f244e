#pragma once

#include <QString>

// Every fixed text the media side of the program can show, in English; the
// translated ones are looked up by their string ids.
namespace MediaTexts {

// Suffixes of the captions of the two boxes of a file that cannot be opened.
inline const QString kNotOpenFileCaptionSuffix = QStringLiteral(" IDS_MESSAGE_NOT_OPEN_FILE");
inline const QString kNoDurationCaptionSuffix = QStringLiteral(" IDS_MESSAGE_NO_DURATION");

// Probe failures, shown on the main window. A file without video fails at its size.
inline const QString kProbeCaption = QStringLiteral("Error");
inline const QString kProbeCreateFailed = QStringLiteral("Failed to CoCreateInstance");
inline const QString kProbeNoDuration = QStringLiteral("Failed to GetStopPosition");
inline const QString kProbeNoVideoSize =
    QStringLiteral("Failed to GetVideoSize, please install appropriate video decoder");
inline const QString kProbeNoFrameTime = QStringLiteral("Failed to get_AvgTimePerFrame");

// After a mark's time in its box's tooltip, with its frame number.
inline constexpr const char* kMarkFrameSuffix = ", frame %lld";

// File chooser filters: the label the user sees and its patterns.
inline const QString kAnyFilesLabel = QStringLiteral("Any Files (*.*)");
inline const QString kAnyFilesPatterns = QStringLiteral("*.*");
inline const QString kVideoFilesLabel =
    QStringLiteral("Video Files (*.mpeg;*.mpg;*.avi;*.wmv;*.dat;*.asf;*.vob;*.ogm;*.divx;*.div)");
inline const QString kVideoFilesPatterns =
    QStringLiteral("*.mpeg;*.mpg;*.avi;*.asf;*.wmv;*.dat;*.vob;*.ogm;*.divx;*.div");

// Preview failures: boxes without owner; the first is formatted with the failing result.
inline constexpr const char* kPreviewCreateFailed =
    "FAILED(hr=0x%x) in CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, "
    "(void **)&pGB)\n";
inline const QString kPreviewCannotPlay =
    QStringLiteral("Cannot play the file.  The file is either corrupt or\nthe player does not support the format "
                   "you are trying to play.\nYou need to install appropriate decoders.");

// Preview window captions.
inline const QString kPreviewInitialCaption = QStringLiteral("Video Window");
inline const QString kPreviewNoClipCaption = QStringLiteral("PREVIEW");
inline const QString kPausedSuffix = QStringLiteral("(Paused)");

} // namespace MediaTexts
