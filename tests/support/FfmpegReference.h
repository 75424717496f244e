#pragma once

#include "support/Frames.h" // Psnr and TopDownRgb, to compare our frames with these

#include <QByteArray>
#include <QString>

#include <vector>

// Pictures of a clip as the ffmpeg program makes them, for comparing ours
// against: the stretch from start to end (seconds from the clip's first
// timestamp) taken at the given rate by its fps filter, whose grid of output
// frames begins at start, and scaled to width x height. Each picture is
// top-down RGB24 without row padding. Fails the current test when ffmpeg
// cannot make them.
std::vector<QByteArray> FfmpegReferenceFrames(const QString& clip, double start, double end, double rate, int width,
                                              int height);

