#pragma once

#include "support/Frames.h" // Psnr and TopDownRgb, to compare our frames with these

#include <QByteArray>
#include <QString>

#include <vector>

// What the ffmpeg program is asked to do beyond taking and scaling frames.
struct ReferenceFilters {
    QString first;  // filters run on every decoded frame before any is taken ("bwdif", "hflip")
    QString scaler = {}; // options of its scaler ("in_color_matrix=bt709")
};

// Pictures of a clip as the ffmpeg program makes them, for comparing ours
// against: the stretch from start to end (seconds from the clip's first
// timestamp) taken at the given rate by its fps filter, whose grid of output
// frames begins at start, and scaled to width x height. Each picture is
// top-down RGB24 without row padding. Fails the current test when ffmpeg
// cannot make them.
std::vector<QByteArray> FfmpegReferenceFrames(const QString& clip, double start, double end, double rate, int width,
                                              int height, const ReferenceFilters& filters = {});

// The first frames of a source of the ffmpeg program's lavfi device, as it
// renders them without encoding, in the same layout.
std::vector<QByteArray> FfmpegSourceFrames(const QString& graph, int width, int height, int count);

