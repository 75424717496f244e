#include "platform/imaging/Bitmap.h"

namespace {
// Larger sides than this no encoder accepts, and row sizes stay far from overflow.
constexpr int kMaxSide = 1 << 20;

int BitsPerPixel(PixelFormat format)
{
    return format == PixelFormat::Bgr24 ? 24 : 8;
}
} // namespace

Bitmap::Bitmap(int width, int height, const std::uint8_t* bits, std::size_t length)
    : Bitmap(width, height, bits, length, PixelFormat::Bgr24, nullptr)
{
}

Bitmap::Bitmap(int width, int height, const std::uint8_t* indices, std::size_t length, const Palette& palette)
    : Bitmap(width, height, indices, length, PixelFormat::Indexed8, &palette)
{
}

Bitmap::Bitmap(int width, int height, const std::uint8_t* bits, std::size_t length, PixelFormat format,
               const Palette* palette)
    : width_(width), height_(height), format_(format), palette_(palette)
{
    const std::int64_t stride = RowStride(width, BitsPerPixel(format));
    if (stride < 0 || height <= 0 || height > kMaxSide || bits == nullptr)
        return;
    stride_ = static_cast<std::size_t>(stride);
    valid_ = length >= stride_ * static_cast<std::size_t>(height);
    if (!valid_)
        return;
    rows_[0] = bits + stride_ * static_cast<std::size_t>(height - 1);
    steps_[0] = -static_cast<std::ptrdiff_t>(stride_);
}

Bitmap::Bitmap(PixelFormat format, int width, int height, const Planes& topRows, const Strides& strides)
    : width_(width), height_(height), format_(format), palette_(nullptr), rows_(topRows), steps_(strides)
{
    const int planes = format == PixelFormat::Yuv420 ? 3 : 1;
    valid_ = format != PixelFormat::Indexed8 && width > 0 && width <= kMaxSide && height > 0 && height <= kMaxSide;
    for (int plane = 0; plane < planes && valid_; ++plane) {
        const std::int64_t rowBytes = format == PixelFormat::Bgr24 ? std::int64_t{width} * 3
                                      : plane == 0                 ? width
                                                                   : (width + 1) / 2;
        valid_ = topRows[plane] != nullptr && (strides[plane] >= rowBytes || -strides[plane] >= rowBytes);
    }
}

std::int64_t Bitmap::RowStride(int width, int bitsPerPixel)
{
    if (width <= 0 || width > kMaxSide)
        return -1;
    return (static_cast<std::int64_t>(width) * bitsPerPixel + 31) / 32 * 4;
}
