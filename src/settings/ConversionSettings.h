#pragma once

#include <QString>

// Picture formats by their stored code; Gif only from a stored setting.
enum OutputFormat : int { kFormatBmp = 0, kFormatJpg = 1, kFormatPng = 2, kFormatTif = 3, kFormatGif = 4 };

// Stretch modes of the timeline's sources, by their stored values.
enum ResizeMode : int { kResizeStretch = 0, kResizePreserveAspectRatio = 2 };

inline constexpr double kDefaultFrameRate = 23.976;
// "Original frame rate": every frame of the clip, whatever its rate. Also
// what a profile without a usable choice gets.
inline constexpr int kOriginalFrameRateIndex = 0;

// The output options held by the main window while it runs.
struct ConversionSettings {
    int outputFormat = kFormatBmp;
    QString outputFolder;     // in memory always ends with '/'
    int outputWidth = 0;
    int outputHeight = 0;
    int frameRateIndex = kOriginalFrameRateIndex; // 0 original, 1..5 presets, 6 custom
    double frameRate = kDefaultFrameRate;
    int resizeMode = kResizePreserveAspectRatio;
    int jpegQuality = 80;
    int samplingInterval = 1;
    QString outputFilePath;
    bool videoCompressorOn = false;
    bool audioCompressorOn = false;
};

// What the open clip tells about itself; all zero while no clip is open.
struct ClipFacts {
    int videoWidth = 0;
    int videoHeight = 0;
    double sourceFrameRate = kDefaultFrameRate;
    int videoItemCount = 0;
};

// The frame rate of preset index 1..5, or of 0 before a clip is opened.
// Returns a negative value for an index outside 0..5.
double PresetFrameRate(int frameRateIndex);

// A C decimal number with a point, whatever the locale; the leading number
// of the text counts and a text that does not start with one gives 0.
double ParseDecimal(const QString& text);
