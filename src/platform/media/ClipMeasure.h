#pragma once

#include "platform/media/ProbeGraph.h"

#include <string>

// What opening a clip learns about it: length, native size and frame rate.
struct MeasuredClip {
    MediaTime duration = 0;
    int width = 0;
    int height = 0;
    double frameRate = 0; // frames a second; the default rate when the file states no frame time
};

// The measuring step that failed on a rendered file, in the order they run.
enum class MeasureFailure { None, Duration, VideoSize, FrameTime };

// Runs the measuring steps on a graph that has rendered path. A file without
// video has no size; one that states no frame time gets defaultRate.
MeasureFailure MeasureClip(ProbeGraph& graph, const std::string& path, double defaultRate, MeasuredClip& clip);
