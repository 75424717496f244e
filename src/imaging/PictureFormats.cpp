#include "imaging/PictureFormats.h"

#include "imaging/BmpFile.h"
#include "imaging/FixedPalette.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/OutputFile.h"

#include <array>

namespace {
bool Save(Bitmap& status, const Bitmap& picture, OutputFile& file, OutputFormat code,
          const EncoderParameters& parameters = {})
{
    const PictureFormat& format = *FindPictureFormat(code);
    if (format.encoder == nullptr) {
        status.SetLastStatus({ImageStatus::EncoderNotFound, file.Path() + QStringLiteral(": no encoder for ")
                                                                 + QString::fromLatin1(format.mimeType)});
        return false;
    }
    const ImageResult result = SaveImageToFile(picture, file, *format.encoder, parameters);
    if (!result.Succeeded())
        status.SetLastStatus(result);
    return result.Succeeded();
}
} // namespace

int FindEncoderByMimeType(std::string_view mimeType, const ImageCodecInfo** encoder,
                          std::span<const ImageCodecInfo> encoders)
{
    for (std::size_t i = 0; i < encoders.size(); ++i) {
        if (mimeType == encoders[i].mimeType) {
            *encoder = &encoders[i];
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool SaveAsJpeg(int jpegQuality, Bitmap& bitmap, OutputFile& file)
{
    return Save(bitmap, bitmap, file, kFormatJpg, EncoderParameters{static_cast<std::uint32_t>(jpegQuality)});
}

bool SaveAsPng(Bitmap& bitmap, OutputFile& file)
{
    return Save(bitmap, bitmap, file, kFormatPng);
}

bool SaveAsTiff(Bitmap& bitmap, OutputFile& file)
{
    return Save(bitmap, bitmap, file, kFormatTif);
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
    return Save(bitmap, indexed, file, kFormatGif);
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

PictureFormat Entry(OutputFormat code, const char* listName, const char* extension, const char* mimeType,
                    PictureWriter write)
{
    const ImageCodecInfo* encoder = nullptr;
    if (mimeType != nullptr)
        FindEncoderByMimeType(mimeType, &encoder);
    return {code, listName, extension, mimeType, encoder, write};
}

} // namespace

std::span<const PictureFormat> PictureFormats()
{
    // The encoder list does not change while the program runs, so each
    // encoder is found once rather than for every picture.
    static const std::array<PictureFormat, 5> formats{
        Entry(kFormatBmp, "BMP", "bmp", nullptr, WriteBmp),
        Entry(kFormatJpg, "JPG", "jpg", "image/jpeg", WriteJpeg),
        Entry(kFormatPng, "PNG", "png", "image/png", WritePng),
        Entry(kFormatTif, "TIF", "tif", "image/tiff", WriteTiff),
        Entry(kFormatGif, nullptr, "gif", "image/gif", WriteGif),
    };
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
