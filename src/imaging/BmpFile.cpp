#include "imaging/BmpFile.h"

#include "platform/imaging/Bitmap.h"
#include "platform/imaging/Encoders.h"
#include "platform/imaging/OutputFile.h"

namespace {
constexpr std::uint16_t kBitmapType = 0x4D42; // "BM"
constexpr std::uint16_t kBitsPerPixel = 24;

void Put16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
} // namespace

std::array<std::uint8_t, kBmpHeadersSize> BmpHeaders(std::int32_t width, std::int32_t height, std::uint32_t dataLength)
{
    std::array<std::uint8_t, kBmpHeadersSize> headers{}; // reserved fields, compression and sizes stay 0
    std::uint8_t* const at = headers.data();
    Put16(at, kBitmapType);
    Put32(at + 2, dataLength + static_cast<std::uint32_t>(kBmpHeadersSize));
    Put32(at + 10, static_cast<std::uint32_t>(kBmpHeadersSize));
    Put32(at + 14, static_cast<std::uint32_t>(kBmpInfoHeaderSize));
    Put32(at + 18, static_cast<std::uint32_t>(width));
    Put32(at + 22, static_cast<std::uint32_t>(height));
    Put16(at + 26, 1);
    Put16(at + 28, kBitsPerPixel);
    return headers;
}

ImageResult SaveAsBmp(const Bitmap& frame, OutputFile& file)
{
    if (!file.IsOpen())
        return {ImageStatus::FileError, file.ErrorText()};
    if (!frame.IsValid() || frame.Format() != PixelFormat::Bgr24)
        return UnfitFrame(file);
    const std::size_t rowBytes = static_cast<std::size_t>(frame.Width()) * 3;
    const std::size_t stride = static_cast<std::size_t>(Bitmap::RowStride(frame.Width(), 24));
    const std::uint8_t padding[3] = {};
    const auto headers =
        BmpHeaders(frame.Width(), frame.Height(), static_cast<std::uint32_t>(stride * frame.Height()));
    file.Write(headers.data(), kBmpFileHeaderSize);
    file.Write(headers.data() + kBmpFileHeaderSize, kBmpInfoHeaderSize);
    for (int y = frame.Height() - 1; y >= 0; --y) {
        file.Write(frame.Row(y), rowBytes);
        file.Write(padding, stride - rowBytes);
    }
    if (!file.Commit())
        return {ImageStatus::FileError, file.ErrorText()};
    return {};
}
