#include "platform/media/FfmpegProbeGraph.h"

#include <algorithm>

namespace {

constexpr AVRational kMediaTimeBase{1, static_cast<int>(kMediaUnitsPerSecond)};

bool HasRate(AVRational rate)
{
    return rate.num > 0 && rate.den > 0;
}

// Length of the longest stream, for files whose container states none.
MediaTime LongestStream(const AVFormatContext& format)
{
    MediaTime longest = -1;
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVStream& stream = *format.streams[i];
        if (stream.duration != AV_NOPTS_VALUE)
            longest = std::max(longest, av_rescale_q(stream.duration, stream.time_base, kMediaTimeBase));
    }
    return longest;
}

} // namespace

MediaResult FfmpegProbeGraph::RenderFile(const std::string& path)
{
    return OpenMediaInput(path, input_);
}

MediaResult FfmpegProbeGraph::GetStopPosition(MediaTime& stop)
{
    return GetDuration(stop);
}

MediaResult FfmpegProbeGraph::GetDuration(MediaTime& duration)
{
    if (!input_.format)
        return MediaResult::WrongState;
    const AVFormatContext& format = *input_.format;
    duration = format.duration != AV_NOPTS_VALUE
                   ? av_rescale_q(format.duration, AVRational{1, AV_TIME_BASE}, kMediaTimeBase)
                   : LongestStream(format);
    return duration >= 0 ? MediaResult::Ok : MediaResult::NotImplemented;
}

MediaResult FfmpegProbeGraph::GetVideoSize(int& width, int& height)
{
    const AVStream* stream = VideoStream();
    if (!stream)
        return MediaResult::NoInterface;
    DisplayedSize(*stream, width, height);
    return width > 0 && height > 0 ? MediaResult::Ok : MediaResult::Fail;
}

MediaResult FfmpegProbeGraph::GetAvgTimePerFrame(double& seconds)
{
    const AVStream* stream = VideoStream();
    if (!stream)
        return MediaResult::NoInterface;
    // The average rate describes variable-rate files better than the base rate.
    AVRational rate = stream->avg_frame_rate;
    if (!HasRate(rate))
        rate = stream->r_frame_rate;
    seconds = HasRate(rate) ? av_q2d(av_inv_q(rate)) : 0.0;
    return MediaResult::Ok;
}

const AVStream* FfmpegProbeGraph::VideoStream() const
{
    if (!input_.format || input_.videoStream < 0)
        return nullptr;
    return input_.format->streams[input_.videoStream];
}
