#pragma once

#include "imaging/PictureFormats.h"
#include "platform/media/VideoProcessing.h"

#include <QString>

// Stretch modes of the timeline's sources, by their stored values.
enum ResizeMode : int { kResizeStretch = 0, kResizePreserveAspectRatio = 2 };

// How interlaced sources are treated, by their stored values.
enum DeinterlaceMode : int { kDeinterlaceOff = 0, kDeinterlaceAutomatic = 1, kDeinterlaceAlways = 2 };

inline constexpr double kDefaultFrameRate = 23.976;
// "Original frame rate": every frame of the clip, whatever its rate. Also
// what a profile without a usable choice gets.
inline constexpr int kOriginalFrameRateIndex = 0;
inline constexpr int kCustomFrameRateIndex = 6;

// The output options held by the main window while it runs.
struct ConversionSettings {
    int outputFormat = kFormatBmp; // a code of PictureFormats(); a stored one may be outside them
    QString outputFolder;     // in memory always ends with '/'
    int outputWidth = 0;
    int outputHeight = 0;
    int frameRateIndex = kOriginalFrameRateIndex; // 0 original, 1..5 presets, 6 custom
    double frameRate = kDefaultFrameRate;
    int resizeMode = kResizePreserveAspectRatio;
    int jpegQuality = 80;
    int samplingInterval = 1;
    QString outputFilePath;
    bool toneMapHdr = true; // HDR (PQ or HLG) sources are tone-mapped to SDR BT.709
    int deinterlaceMode = kDeinterlaceAutomatic; // Automatic: only sources flagged interlaced
};

// The Options' choices for the picture, as the render engine and the preview
// take them; a stored mode no build wrote reads as the default.
inline VideoProcessing ProcessingOf(const ConversionSettings& settings)
{
    const Deinterlacing deinterlacing = settings.deinterlaceMode == kDeinterlaceOff      ? Deinterlacing::Off
                                        : settings.deinterlaceMode == kDeinterlaceAlways ? Deinterlacing::Always
                                                                                          : Deinterlacing::Automatic;
    return VideoProcessing{settings.toneMapHdr, deinterlacing};
}

// What the open clip tells about itself; all zero while no clip is open.
struct ClipFacts {
    int videoWidth = 0;
    int videoHeight = 0;
    double sourceFrameRate = kDefaultFrameRate;
    int videoItemCount = 0;
};

// The frame-rate rule: sets the choice and its effective rate, which is the
// clip's own rate for "Original frame rate", the preset's for 1..5 and
// customRate for the custom entry. A choice outside the list falls back to
// the clip's own rate.
void ChooseFrameRate(ConversionSettings& settings, int frameRateIndex, double customRate, double sourceFrameRate);

// A C decimal number with a point, whatever the locale; the leading number
// of the text counts and a text that does not start with one gives 0.
double ParseDecimal(const QString& text);
