#include "imaging/PictureFormats.h"

#include "imaging/BmpFile.h"
#include "imaging/FixedPalette.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/Encoders.h"
#include "platform/imaging/OutputFile.h"

#include <array>

ImageResult SaveAsJpeg(int jpegQuality, const Bitmap& bitmap, OutputFile& file)
{
    return SaveImageToFile(bitmap, file, EncodeJpeg, EncoderParameters{static_cast<std::uint32_t>(jpegQuality)});
}

ImageResult SaveAsPng(const Bitmap& bitmap, OutputFile& file)
{
    return SaveImageToFile(bitmap, file, EncodePng);
}

ImageResult SaveAsTiff(const Bitmap& bitmap, OutputFile& file)
{
    return SaveImageToFile(bitmap, file, EncodeTiff);
}

ImageResult SaveAsGif(const Bitmap& bitmap, OutputFile& file)
{
    if (!bitmap.IsValid() || bitmap.Format() != PixelFormat::Bgr24)
        return UnfitFrame(file);
    const IndexedFrame reduced = ReduceToFixedPalette(bitmap);
    const Bitmap indexed(bitmap.Width(), bitmap.Height(), reduced.indices.data(), reduced.indices.size(),
                         FixedPalette());
    return SaveImageToFile(indexed, file, EncodeGif);
}

std::span<const PictureFormat> PictureFormats()
{
    static constexpr std::array<PictureFormat, 5> formats{{
        {kFormatBmp, "BMP", "bmp", [](const Bitmap& frame, OutputFile& file, int) { return SaveAsBmp(frame, file); }},
        {kFormatJpg, "JPG", "jpg", [](const Bitmap& frame, OutputFile& file, int quality) {
             return SaveAsJpeg(quality, frame, file);
         }},
        {kFormatPng, "PNG", "png", [](const Bitmap& frame, OutputFile& file, int) { return SaveAsPng(frame, file); }},
        {kFormatTif, "TIF", "tif", [](const Bitmap& frame, OutputFile& file, int) { return SaveAsTiff(frame, file); }},
        {kFormatGif, nullptr, "gif", [](const Bitmap& frame, OutputFile& file, int) { return SaveAsGif(frame, file); }},
    }};
    return formats;
}

PixelFormat FramePixelFormat(const PictureFormat& format, int jpegQuality)
{
    return format.code == kFormatJpg && jpegQuality < kJpegFullColourQuality ? PixelFormat::Yuv420
                                                                              : PixelFormat::Bgr24;
}

const PictureFormat* FindPictureFormat(int code)
{
    const std::span<const PictureFormat> formats = PictureFormats();
    if (code < 0 || static_cast<std::size_t>(code) >= formats.size())
        return nullptr;
    return &formats[static_cast<std::size_t>(code)];
}
