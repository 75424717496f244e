#include "platform/media/DrawnPicture.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
}

#include <cstring>

void DrawnPicture::Freer::operator()(AVFrame* frame) const
{
    av_frame_free(&frame);
}

DrawnPicture::DrawnPicture() = default;
DrawnPicture::~DrawnPicture() = default;
DrawnPicture::DrawnPicture(DrawnPicture&&) noexcept = default;
DrawnPicture& DrawnPicture::operator=(DrawnPicture&&) noexcept = default;

DrawnPicture::DrawnPicture(AVFrame& frame, PictureLayout layout) : frame_(av_frame_alloc()), layout_(layout)
{
    if (frame_)
        av_frame_move_ref(frame_.get(), &frame);
}

DrawnPicture DrawnPicture::Black(PictureLayout layout, int width, int height)
{
    const std::unique_ptr<AVFrame, Freer> frame(av_frame_alloc());
    if (!frame)
        return {};
    frame->format = PixelFormatOf(layout);
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return {};
    std::memset(frame->data[0], 0, static_cast<std::size_t>(frame->linesize[0]) * height);
    // Black has no colour: chroma at its middle.
    for (int plane = 1; layout == PictureLayout::Yuv420 && plane < 3; ++plane)
        std::memset(frame->data[plane], 128, static_cast<std::size_t>(frame->linesize[plane]) * ((height + 1) / 2));
    return DrawnPicture(*frame, layout);
}

// The old full-range name for the planes, so that filters draw full-range black into them.
int DrawnPicture::PixelFormatOf(PictureLayout layout)
{
    return layout == PictureLayout::Yuv420 ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_BGR24;
}

bool DrawnPicture::Empty() const
{
    return !frame_ || frame_->data[0] == nullptr;
}

int DrawnPicture::Width() const
{
    return frame_ ? frame_->width : 0;
}

int DrawnPicture::Height() const
{
    return frame_ ? frame_->height : 0;
}

std::uint8_t* DrawnPicture::Plane(int plane) const
{
    return frame_ ? frame_->data[plane] : nullptr;
}

std::ptrdiff_t DrawnPicture::Stride(int plane) const
{
    return frame_ ? frame_->linesize[plane] : 0;
}
