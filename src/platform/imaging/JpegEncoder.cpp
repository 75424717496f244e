#include "platform/imaging/Encoders.h"
#include "platform/imaging/OutputFile.h"

#include <turbojpeg.h>

#include <cstdint>
#include <memory>

namespace {
// From this quality on the colour keeps every pixel (4:4:4), as image editors
// keep it at their finest settings; below it, colour is stored at half the
// width and height (4:2:0), which a viewer hardly sees and which makes
// smaller files.
constexpr std::uint32_t kFullColourQuality = 90;

struct CompressorDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
struct JpegBufferDeleter {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};
using JpegBuffer = std::unique_ptr<unsigned char, JpegBufferDeleter>;

// One compressor per writer thread, made on first use: each writer thread
// writes its frames one at a time, and setting a compressor up costs more
// than a small frame does.
tjhandle Compressor()
{
    thread_local const std::unique_ptr<void, CompressorDeleter> compressor(tjInitCompress());
    return compressor.get();
}
} // namespace

ImageResult EncodeJpeg(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters)
{
    if (bitmap.Format() != PixelFormat::Bgr24 || !parameters.quality)
        return InvalidInput(file, "JPEG needs a 24-bit frame and a quality");
    const tjhandle compressor = Compressor();
    if (compressor == nullptr)
        return {ImageStatus::OutOfMemory, file.Path() + QStringLiteral(": cannot start the JPEG compressor")};
    unsigned char* compressed = nullptr;
    unsigned long size = 0;
    const int subsampling = *parameters.quality >= kFullColourQuality ? TJSAMP_444 : TJSAMP_420;
    // The frame is read in place: bottom-up rows of blue, green, red, at the bitmap's stride.
    const int failed = tjCompress2(compressor, bitmap.Bits(), bitmap.Width(), static_cast<int>(bitmap.Stride()),
                                   bitmap.Height(), TJPF_BGR, &compressed, &size, subsampling,
                                   static_cast<int>(*parameters.quality), TJFLAG_BOTTOMUP);
    const JpegBuffer owner(compressed);
    if (failed != 0)
        return EncoderFailure(file, QString::fromLocal8Bit(tjGetErrorStr2(compressor)));
    file.Write(compressed, size);
    return {};
}
