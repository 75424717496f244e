#pragma once

#include "platform/media/MediaInput.h"
#include "platform/media/ProbeGraph.h"

// The probe on libavformat and libavcodec.
class FfmpegProbeGraph final : public ProbeGraph {
public:
    FfmpegProbeGraph() = default;
    FfmpegProbeGraph(const FfmpegProbeGraph&) = delete;
    FfmpegProbeGraph& operator=(const FfmpegProbeGraph&) = delete;

    MediaResult RenderFile(const std::string& path) override;
    MediaResult GetStopPosition(MediaTime& stop) override;
    MediaResult GetDuration(MediaTime& duration) override;
    MediaResult GetVideoSize(int& width, int& height) override;
    MediaResult GetAvgTimePerFrame(double& seconds) override;

private:
    const AVStream* VideoStream() const;

    MediaInput input_;
};
