// Feeds the input to the probe as a clip file and asks it every question the
// program asks when a clip is opened.
#include "FuzzScratch.h"
#include "platform/media/FfmpegProbeGraph.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdlib>

namespace {

const QString& ClipPath()
{
    static const QString path = ScratchFolder() + QStringLiteral("/clip");
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!WriteInput(ClipPath(), data, size))
        std::abort();
    FfmpegProbeGraph probe;
    if (Failed(probe.RenderFile(ClipPath().toStdString())))
        return 0;
    MediaTime stop = 0;
    MediaTime duration = 0;
    int width = 0;
    int height = 0;
    double secondsPerFrame = 0;
    probe.GetStopPosition(stop);
    probe.GetDuration(duration);
    probe.GetVideoSize(width, height);
    probe.GetAvgTimePerFrame(secondsPerFrame);
    return 0;
}
