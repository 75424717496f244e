#include "platform/media/MediaInput.h"

extern "C" {
#include <libavutil/display.h>
}

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

constexpr AVRational kMediaTimeBase{1, static_cast<int>(kMediaUnitsPerSecond)};

MediaResult OpenResult(int error)
{
    if (error == AVERROR(ENOENT))
        return MediaResult::FileNotFound;
    if (error == AVERROR(ENOMEM))
        return MediaResult::OutOfMemory;
    return MediaResult::CannotRender;
}

// Real pixels are at most a few times wider or taller than square; beyond
// that the flag is damage, and honouring it would ask for a giant picture.
bool PlausibleAspect(AVRational aspect)
{
    constexpr int kLargestStretch = 8;
    return aspect.num > 0 && aspect.den > 0 && aspect.num <= static_cast<std::int64_t>(aspect.den) * kLargestStretch &&
           aspect.den <= static_cast<std::int64_t>(aspect.num) * kLargestStretch;
}

// At least one pixel for a picture that has any width.
int StretchedWidth(int width, AVRational aspect)
{
    if (width <= 0)
        return width;
    return static_cast<int>(
        std::clamp<std::int64_t>(av_rescale(width, aspect.num, aspect.den), 1, std::numeric_limits<int>::max()));
}

} // namespace

MediaResult OpenMediaInput(const std::string& path, MediaInput& input)
{
    AVFormatContext* raw = nullptr;
    const int opened = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (opened < 0)
        return OpenResult(opened);
    InputHandle format(raw);
    if (avformat_find_stream_info(format.get(), nullptr) < 0)
        return MediaResult::CannotRender;
    input.videoStream = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (input.videoStream < 0)
        input.videoStream = -1;
    else if (format->streams[input.videoStream]->disposition & AV_DISPOSITION_ATTACHED_PIC)
        input.videoStream = -1; // cover art is a picture, not a video
    input.format = std::move(format);
    return MediaResult::Ok;
}

MediaTime FileStartOffset(const AVFormatContext& format)
{
    if (format.start_time == AV_NOPTS_VALUE)
        return 0;
    return av_rescale_q(format.start_time, AVRational{1, AV_TIME_BASE}, kMediaTimeBase);
}

MediaTime StreamToMediaTime(const AVFormatContext& format, const AVStream& stream, std::int64_t ts)
{
    return av_rescale_q(ts, stream.time_base, kMediaTimeBase) - FileStartOffset(format);
}

std::int64_t MediaToStreamTime(const AVFormatContext& format, const AVStream& stream, MediaTime time)
{
    return av_rescale_q_rnd(time + FileStartOffset(format), kMediaTimeBase, stream.time_base,
                            AV_ROUND_DOWN);
}

DisplayOrientation StreamOrientation(const AVStream& stream)
{
    std::size_t size = 0;
    const std::uint8_t* data = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!data || size < 9 * sizeof(std::int32_t)) // a damaged file may carry less than a whole matrix
        return {};
    const auto* matrix = reinterpret_cast<const std::int32_t*>(data);
    // The matrix gives the counter-clockwise angle that undoes the turn; its
    // first column alone holds the turn, so a mirror does not change it.
    const double angle = -av_display_rotation_get(matrix);
    if (std::isnan(angle))
        return {};
    const int quarter = static_cast<int>(std::lround(angle / 90.0));
    // A mirror turns the picture over: the matrix's determinant is negative.
    const double determinant = static_cast<double>(matrix[0]) * matrix[4] - static_cast<double>(matrix[1]) * matrix[3];
    return DisplayOrientation{((quarter % 4) + 4) % 4, determinant < 0};
}

AVRational SampleAspect(const AVStream& stream, AVRational coded)
{
    for (const AVRational aspect : {stream.sample_aspect_ratio, coded})
        if (PlausibleAspect(aspect))
            return aspect;
    return AVRational{1, 1};
}

void DisplayedSize(const AVStream& stream, int& width, int& height)
{
    width = StretchedWidth(stream.codecpar->width, SampleAspect(stream, stream.codecpar->sample_aspect_ratio));
    height = stream.codecpar->height;
    if (StreamOrientation(stream).Sideways())
        std::swap(width, height);
}
