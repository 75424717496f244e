#include "imaging/PictureFormats.h"

#include "imaging/BmpFile.h"
#include "imaging/ImageWriters.h"
#include "platform/imaging/Bitmap.h"

#include <array>

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

std::optional<QString> WriteJpeg(const FrameBuffer& frame, const QString& path, int jpegQuality)
{
    return WrapAndSave(frame, [&](Bitmap& bitmap) { return SaveAsJpeg(jpegQuality, bitmap, path); });
}

std::optional<QString> WritePng(const FrameBuffer& frame, const QString& path, int)
{
    return WrapAndSave(frame, [&](Bitmap& bitmap) { return SaveAsPng(bitmap, path); });
}

std::optional<QString> WriteTiff(const FrameBuffer& frame, const QString& path, int)
{
    return WrapAndSave(frame, [&](Bitmap& bitmap) { return SaveAsTiff(bitmap, path); });
}

std::optional<QString> WriteGif(const FrameBuffer& frame, const QString& path, int)
{
    return WrapAndSave(frame, [&](Bitmap& bitmap) { return SaveAsGif(bitmap, path); });
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
