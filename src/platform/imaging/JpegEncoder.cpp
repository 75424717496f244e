#include "platform/imaging/Encoders.h"
#include "platform/imaging/OutputFile.h"

#include <turbojpeg.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {
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

// Blue, green, red rows read in place, in whichever direction they are stored.
int CompressBgr(tjhandle compressor, const Bitmap& bitmap, int quality, unsigned char*& compressed,
                unsigned long& size)
{
    const int subsampling = quality >= kJpegFullColourQuality ? TJSAMP_444 : TJSAMP_420;
    const std::ptrdiff_t step = bitmap.RowStep();
    const bool bottomUp = step < 0;
    const std::uint8_t* first = bottomUp ? bitmap.Row(bitmap.Height() - 1) : bitmap.Row(0);
    return tjCompress2(compressor, first, bitmap.Width(), static_cast<int>(bottomUp ? -step : step), bitmap.Height(),
                       TJPF_BGR, &compressed, &size, subsampling, quality, bottomUp ? TJFLAG_BOTTOMUP : 0);
}

// The planes go into the file as they are: no colour conversion and no
// chroma resampling on the way.
int CompressYuv420(tjhandle compressor, const Bitmap& bitmap, int quality, unsigned char*& compressed,
                   unsigned long& size)
{
    const unsigned char* planes[3] = {bitmap.Row(0, 0), bitmap.Row(0, 1), bitmap.Row(0, 2)};
    const int strides[3] = {static_cast<int>(bitmap.RowStep(0)), static_cast<int>(bitmap.RowStep(1)),
                            static_cast<int>(bitmap.RowStep(2))};
    return tjCompressFromYUVPlanes(compressor, planes, bitmap.Width(), strides, bitmap.Height(), TJSAMP_420,
                                   &compressed, &size, quality, 0);
}
} // namespace

ImageResult EncodeJpeg(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters)
{
    const bool planar = bitmap.Format() == PixelFormat::Yuv420;
    if ((bitmap.Format() != PixelFormat::Bgr24 && !planar) || !parameters.quality)
        return InvalidInput(file, "JPEG needs a 24-bit or YUV frame and a quality");
    const tjhandle compressor = Compressor();
    if (compressor == nullptr)
        return {ImageStatus::OutOfMemory, file.Path() + QStringLiteral(": cannot start the JPEG compressor")};
    unsigned char* compressed = nullptr;
    unsigned long size = 0;
    const int quality = static_cast<int>(*parameters.quality);
    const int failed = planar ? CompressYuv420(compressor, bitmap, quality, compressed, size)
                              : CompressBgr(compressor, bitmap, quality, compressed, size);
    const JpegBuffer owner(compressed);
    if (failed != 0)
        return EncoderFailure(file, QString::fromLocal8Bit(tjGetErrorStr2(compressor)));
    file.Write(compressed, size);
    return {};
}
