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

// The bitmap wraps the frame in place and is gone before the call returns.
template <typename Save>
std::optional<QString> WrapAndSave(const FrameBuffer& frame, Save save)
{
    Bitmap bitmap(frame.width, frame.height, frame.data, frame.length);
    if (save(bitmap))
        return std::nullopt;
    return bitmap.LastErrorText();
}

std::optional<QString> WriteJpeg(const FrameBuffer& frame, OutputFile& file, int jpegQuality)
{
    return WrapAndSave(frame, [&](Bitmap& bitmap) { return SaveAsJpeg(jpegQuality, bitmap, file); });
}

std::optional<QString> WritePng(const FrameBuffer& frame, OutputFile& file, int)
{
    return WrapAndSave(frame, [&](Bitmap& bitmap) { return SaveAsPng(bitmap, file); });
}

std::optional<QString> WriteTiff(const FrameBuffer& frame, OutputFile& file, int)
{
    return WrapAndSave(frame, [&](Bitmap& bitmap) { return SaveAsTiff(bitmap, file); });
}

std::optional<QString> WriteGif(const FrameBuffer& frame, OutputFile& file, int)
{
    return WrapAndSave(frame, [&](Bitmap& bitmap) { return SaveAsGif(bitmap, file); });
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

const PictureFormat* FindPictureFormat(int code)
{
    const std::span<const PictureFormat> formats = PictureFormats();
    if (code < 0 || static_cast<std::size_t>(code) >= formats.size())
        return nullptr;
    return &formats[static_cast<std::size_t>(code)];
}
