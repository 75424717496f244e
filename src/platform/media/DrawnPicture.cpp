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
    frame->format = layout == PictureLayout::Yuv420 ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_BGR24;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return {};
    if (layout == PictureLayout::Bgr24) {
        std::memset(frame->data[0], 0, static_cast<std::size_t>(frame->linesize[0]) * height);
    } else {
        const int chromaHeight = (height + 1) / 2;
        std::memset(frame->data[0], 0, static_cast<std::size_t>(frame->linesize[0]) * height);
        std::memset(frame->data[1], 128, static_cast<std::size_t>(frame->linesize[1]) * chromaHeight);
        std::memset(frame->data[2], 128, static_cast<std::size_t>(frame->linesize[2]) * chromaHeight);
    }
    return DrawnPicture(*frame, layout);
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
