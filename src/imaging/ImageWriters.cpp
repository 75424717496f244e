#include "imaging/ImageWriters.h"

#include "imaging/FixedPalette.h"
#include "imaging/PictureFormats.h"
#include "platform/imaging/Bitmap.h"

namespace {
bool Save(Bitmap& status, const Bitmap& picture, const QString& path, OutputFormat code,
          const EncoderParameters& parameters = {})
{
    const PictureFormat& format = *FindPictureFormat(code);
    if (format.encoder == nullptr) {
        status.SetLastStatus({ImageStatus::EncoderNotFound, path + QStringLiteral(": no encoder for ")
                                                                 + QString::fromLatin1(format.mimeType)});
        return false;
    }
    const ImageResult result = SaveImageToFile(picture, path, *format.encoder, parameters);
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

bool SaveAsJpeg(int jpegQuality, Bitmap& bitmap, const QString& path)
{
    return Save(bitmap, bitmap, path, kFormatJpg, EncoderParameters{static_cast<std::uint32_t>(jpegQuality)});
}

bool SaveAsPng(Bitmap& bitmap, const QString& path)
{
    return Save(bitmap, bitmap, path, kFormatPng);
}

bool SaveAsTiff(Bitmap& bitmap, const QString& path)
{
    return Save(bitmap, bitmap, path, kFormatTif);
}

bool SaveAsGif(Bitmap& bitmap, const QString& path)
{
    if (!bitmap.IsValid() || bitmap.Format() != PixelFormat::Bgr24) {
        bitmap.SetLastStatus({ImageStatus::InvalidParameter, path + QStringLiteral(": the frame does not fit its buffer")});
        return false;
    }
    const IndexedFrame reduced = ReduceToFixedPalette(bitmap);
    const Bitmap indexed(bitmap.Width(), bitmap.Height(), reduced.indices.data(), reduced.indices.size(),
                         FixedPalette());
    return Save(bitmap, indexed, path, kFormatGif);
}
