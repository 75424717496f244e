#include "platform/media/ClipMeasure.h"

namespace {

// Animated pictures state a duration but no stop position.
bool IsGif(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string suffix = path.substr(path.size() - 4);
    for (char& c : suffix)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return suffix == ".gif";
}

} // namespace

MeasureFailure MeasureClip(ProbeGraph& graph, const std::string& path, double defaultRate, MeasuredClip& clip)
{
    if (Failed(IsGif(path) ? graph.GetDuration(clip.duration) : graph.GetStopPosition(clip.duration)))
        return MeasureFailure::Duration;
    if (Failed(graph.GetVideoSize(clip.width, clip.height)))
        return MeasureFailure::VideoSize;
    double secondsPerFrame = 0.0;
    if (Failed(graph.GetAvgTimePerFrame(secondsPerFrame)))
        return MeasureFailure::FrameTime;
    clip.frameRate = secondsPerFrame > 0.0
                         ? static_cast<double>(kMediaUnitsPerSecond) / secondsPerFrame * 0.0000001
                         : defaultRate;
    return MeasureFailure::None;
}
