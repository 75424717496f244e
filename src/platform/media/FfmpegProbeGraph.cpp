#include "platform/media/FfmpegProbeGraph.h"

#include <algorithm>
#include <cstdint>
#include <limits>

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

MediaTime FileLength(const AVFormatContext& format)
{
    return format.duration != AV_NOPTS_VALUE ? av_rescale_q(format.duration, AVRational{1, AV_TIME_BASE}, kMediaTimeBase)
                                             : LongestStream(format);
}

MediaTime StreamLength(const AVFormatContext& format, const AVStream& stream)
{
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0)
        return av_rescale_q(stream.duration, stream.time_base, kMediaTimeBase);
    return FileLength(format);
}

// Counting means reading the file; past this many packets a file is long
// enough for the format layer to have found its rate, and is not counted.
constexpr int kMostPacketsCounted = 20000;

// Packets of the stream from the file's start to its end: its frames.
// -1 when the file is too long to count.
std::int64_t CountFrames(AVFormatContext& format, int streamIndex)
{
    const PacketHandle packet(av_packet_alloc());
    if (!packet)
        return -1;
    std::int64_t frames = 0;
    for (int read = 0; read < kMostPacketsCounted; ++read) {
        if (av_read_frame(&format, packet.get()) < 0)
            return frames;
        frames += packet->stream_index == streamIndex ? 1 : 0;
        av_packet_unref(packet.get());
    }
    return -1;
}

// Frames over length, for files that state no average rate (two frames in
// a container counting milliseconds); 0/0 when either is unknown.
AVRational CountedRate(AVFormatContext& format, const AVStream& stream)
{
    const std::int64_t frames = stream.nb_frames > 0 ? stream.nb_frames : CountFrames(format, stream.index);
    const MediaTime length = StreamLength(format, stream);
    AVRational rate{0, 0};
    if (frames > 0 && length > 0)
        av_reduce(&rate.num, &rate.den, frames * kMediaUnitsPerSecond, length, std::numeric_limits<int>::max());
    return rate;
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
    duration = FileLength(*input_.format);
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
    // The clip's rate is the frames it shows over its length. A container's
    // base rate is only a guess: ASF states its millisecond clock as 1000.
    AVRational rate = stream->avg_frame_rate;
    if (!HasRate(rate))
        rate = CountedRate(*input_.format, *stream);
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

ProbeGraphFactory FfmpegProbeFactory()
{
    return [] { return std::make_unique<FfmpegProbeGraph>(); };
}
