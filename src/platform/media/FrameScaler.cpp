#include "platform/media/FrameScaler.h"

#include "platform/media/MediaType.h"
#include "platform/media/Timeline.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

// FFmpeg is C and keeps whatever number a stream declares in its enum fields
// (an MPEG-2 stream may name any of 256 colour matrices); C++ must not read a
// number outside the enum's values through the enum type, so such fields are
// read as the integers they hold.
template <typename Enum>
int StoredNumber(const Enum& field)
{
    std::underlying_type_t<Enum> number;
    std::memcpy(&number, &field, sizeof number);
    return static_cast<int>(number);
}

int SwsColorspace(int colorspace)
{
    switch (colorspace) {
    case AVCOL_SPC_BT709: return SWS_CS_ITU709;
    case AVCOL_SPC_FCC: return SWS_CS_FCC;
    case AVCOL_SPC_SMPTE240M: return SWS_CS_SMPTE240M;
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL: return SWS_CS_BT2020;
    default: return SWS_CS_DEFAULT; // BT.601, also what an unlabelled stream gets
    }
}

bool IsFullRange(const AVFrame& picture)
{
    if (StoredNumber(picture.color_range) == AVCOL_RANGE_JPEG)
        return true;
    // The old "J" formats carry full range in their name instead of a flag.
    const auto format = static_cast<AVPixelFormat>(picture.format);
    return format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P ||
           format == AV_PIX_FMT_YUVJ440P || format == AV_PIX_FMT_YUVJ411P;
}

// Row y of a picture's rectangle in a bottom-up frame, counted from the top.
std::uint8_t* RectRow(std::uint8_t* frame, int stride, int frameHeight, const PictureRect& rect, int y)
{
    return frame + static_cast<std::ptrdiff_t>(frameHeight - 1 - rect.y - y) * stride + rect.x * 3;
}

// Copies a scaled BGR24 picture into its rectangle of a bottom-up frame.
void CopyInto(const AVFrame& scaled, std::uint8_t* frame, int stride, int frameHeight, const PictureRect& rect)
{
    for (int y = 0; y < rect.height; ++y)
        std::memcpy(RectRow(frame, stride, frameHeight, rect, y),
                    scaled.data[0] + static_cast<std::ptrdiff_t>(y) * scaled.linesize[0],
                    static_cast<std::size_t>(rect.width) * 3);
}

// The same, turned clockwise.
void TurnInto(const AVFrame& scaled, int rotation, std::uint8_t* frame, int stride, int frameHeight,
              const PictureRect& rect)
{
    for (int y = 0; y < rect.height; ++y) {
        std::uint8_t* row = RectRow(frame, stride, frameHeight, rect, y);
        for (int x = 0; x < rect.width; ++x) {
            const int sx = rotation == 90 ? y : rotation == 180 ? scaled.width - 1 - x : scaled.width - 1 - y;
            const int sy = rotation == 90 ? scaled.height - 1 - x : rotation == 180 ? scaled.height - 1 - y : x;
            std::memcpy(row + x * 3, scaled.data[0] + static_cast<std::ptrdiff_t>(sy) * scaled.linesize[0] + sx * 3, 3);
        }
    }
}

} // namespace

double DisplayAspect(int width, int height, AVRational sampleAspect, int rotation)
{
    const double sar = sampleAspect.num > 0 && sampleAspect.den > 0 ? av_q2d(sampleAspect) : 1.0;
    const double aspect = width * sar / height;
    return rotation % 180 != 0 ? 1.0 / aspect : aspect;
}

PictureRect FitPicture(double displayAspect, int width, int height, int stretchMode)
{
    if (stretchMode != RESIZEF_PRESERVEASPECTRATIO || !(displayAspect > 0.0))
        return PictureRect{0, 0, width, height};
    int fittedWidth = width;
    int fittedHeight = height;
    if (displayAspect > static_cast<double>(width) / height)
        fittedHeight = std::clamp(static_cast<int>(std::lround(width / displayAspect)), 1, height);
    else
        fittedWidth = std::clamp(static_cast<int>(std::lround(height * displayAspect)), 1, width);
    return PictureRect{(width - fittedWidth) / 2, (height - fittedHeight) / 2, fittedWidth, fittedHeight};
}

SwsContext* FrameScaler::Context(const AVFrame& picture, int width, int height)
{
    const Key key{picture.width, picture.height, picture.format, StoredNumber(picture.colorspace),
                  IsFullRange(picture), width, height};
    if (context_ && key == key_)
        return context_.get();
    context_.reset(sws_getContext(picture.width, picture.height, static_cast<AVPixelFormat>(picture.format), width,
                                  height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!context_)
        return nullptr;
    // Matrix and range of the stream itself; the result is always full-range RGB.
    // RGB sources have no matrix, and the call leaves them alone.
    sws_setColorspaceDetails(context_.get(), sws_getCoefficients(SwsColorspace(key.colorspace)), key.fullRange,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    key_ = key;
    return context_.get();
}

// swscale writes in whole vector blocks and may run past the end of a row,
// over the start of the next: it draws into a frame of its own whose rows
// FFmpeg pads and aligns, and the rows are copied from there.
AVFrame* FrameScaler::Scaled(int width, int height)
{
    if (scaled_ && scaled_->width == width && scaled_->height == height)
        return scaled_.get();
    scaled_.reset(av_frame_alloc());
    if (!scaled_)
        return nullptr;
    scaled_->format = AV_PIX_FMT_BGR24;
    scaled_->width = width;
    scaled_->height = height;
    if (av_frame_get_buffer(scaled_.get(), 0) < 0)
        scaled_.reset();
    return scaled_.get();
}

MediaResult FrameScaler::Draw(const AVFrame& picture, int rotation, int stretchMode, std::uint8_t* buffer,
                              int width, int height)
{
    const int stride = Rgb24Stride(width);
    const PictureRect rect = FitPicture(
        DisplayAspect(picture.width, picture.height, picture.sample_aspect_ratio, rotation), width, height,
        stretchMode);
    if (rect != PictureRect{0, 0, width, height})
        std::memset(buffer, 0, static_cast<std::size_t>(stride) * height);
    const int scaledWidth = rotation % 180 != 0 ? rect.height : rect.width;
    const int scaledHeight = rotation % 180 != 0 ? rect.width : rect.height;
    SwsContext* context = Context(picture, scaledWidth, scaledHeight);
    AVFrame* scaled = Scaled(scaledWidth, scaledHeight);
    if (!context || !scaled)
        return MediaResult::OutOfMemory;
    if (sws_scale(context, picture.data, picture.linesize, 0, picture.height, scaled->data, scaled->linesize) <= 0)
        return MediaResult::DecodeFault;
    if (rotation % 360 != 0)
        TurnInto(*scaled, rotation, buffer, stride, height, rect);
    else
        CopyInto(*scaled, buffer, stride, height, rect);
    return MediaResult::Ok;
}
