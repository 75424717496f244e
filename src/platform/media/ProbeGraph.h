#pragma once

#include "platform/media/MediaResult.h"
#include "platform/media/MediaTime.h"

#include <functional>
#include <memory>
#include <string>

// A throw-away graph that measures one file; it is never run. Each query is
// one step the program reports on its own, so a fake can fail any of them.
class ProbeGraph {
public:
    virtual ~ProbeGraph() = default;

    // Opens the file and finds decoders for it: Ok, FileNotFound or CannotRender.
    virtual MediaResult RenderFile(const std::string& path) = 0;
    // Stop position of a graph that was never positioned: the file's length.
    virtual MediaResult GetStopPosition(MediaTime& stop) = 0;
    // Length of the file (the query animated pictures answer).
    virtual MediaResult GetDuration(MediaTime& duration) = 0;
    // Size of the first video stream as displayed; NoInterface without video.
    virtual MediaResult GetVideoSize(int& width, int& height) = 0;
    // Seconds per frame of the first video stream; 0 when the file gives no rate.
    virtual MediaResult GetAvgTimePerFrame(double& seconds) = 0;
};

// Makes a throw-away probe graph; nullptr when one cannot be created.
using ProbeGraphFactory = std::function<std::unique_ptr<ProbeGraph>()>;

// The probe of this platform, on FFmpeg.
ProbeGraphFactory FfmpegProbeFactory();
