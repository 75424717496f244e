#include "imaging/PictureFormats.h"

#include "imaging/BmpFile.h"
#include "imaging/FixedPalette.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/Encoders.h"
#include "platform/imaging/OutputFile.h"

#include <array>

namespace {
bool Save(Bitmap& status, const Bitmap& picture, OutputFile& file, EncodeFunction encode,
          const EncoderParameters& parameters = {})
{
    const ImageResult result = SaveImageToFile(picture, file, encode, parameters);
    if (!result.Succeeded())
        status.SetLastStatus(result);
    return result.Succeeded();
}
} // namespace

bool SaveAsJpeg(int jpegQuality, Bitmap& bitmap, OutputFile& file)
{
    return Save(bitmap, bitmap, file, EncodeJpeg, EncoderParameters{static_cast<std::uint32_t>(jpegQuality)});
}

bool SaveAsPng(Bitmap& bitmap, OutputFile& file)
{
    return Save(bitmap, bitmap, file, EncodePng);
}

bool SaveAsTiff(Bitmap& bitmap, OutputFile& file)
{
    return Save(bitmap, bitmap, file, EncodeTiff);
}

bool SaveAsGif(Bitmap& bitmap, OutputFile& file)
{
    if (!bitmap.IsValid() || bitmap.Format() != PixelFormat::Bgr24) {
        bitmap.SetLastStatus(
            {ImageStatus::InvalidParameter, file.Path() + QStringLiteral(": the frame does not fit its buffer")});
        return false;
    }
    const IndexedFrame reduced = ReduceToFixedPalette(bitmap);
    const Bitmap indexed(bitmap.Width(), bitmap.Height(), reduced.indices.data(), reduced.indices.size(),
                         FixedPalette());
    return Save(bitmap, indexed, file, EncodeGif);
}

namespace {

std::optional<QString> Outcome(bool saved, const Bitmap& frame)
{
    return saved ? std::nullopt : std::optional(frame.LastErrorText());
}

std::optional<QString> WriteJpeg(Bitmap& frame, OutputFile& file, int jpegQuality)
{
    return Outcome(SaveAsJpeg(jpegQuality, frame, file), frame);
}

std::optional<QString> WritePng(Bitmap& frame, OutputFile& file, int)
{
    return Outcome(SaveAsPng(frame, file), frame);
}

std::optional<QString> WriteTiff(Bitmap& frame, OutputFile& file, int)
{
    return Outcome(SaveAsTiff(frame, file), frame);
}

std::optional<QString> WriteGif(Bitmap& frame, OutputFile& file, int)
{
    return Outcome(SaveAsGif(frame, file), frame);
}

} // namespace

std::span<const PictureFormat> PictureFormats()
{
    static constexpr std::array<PictureFormat, 5> formats{{
        {kFormatBmp, "BMP", "bmp", WriteBmp},
        {kFormatJpg, "JPG", "jpg", WriteJpeg},
        {kFormatPng, "PNG", "png", WritePng},
        {kFormatTif, "TIF", "tif", WriteTiff},
        {kFormatGif, nullptr, "gif", WriteGif},
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
