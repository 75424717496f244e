#include "imaging/ImageWriters.h"

#include "imaging/FixedPalette.h"
#include "platform/imaging/Bitmap.h"

namespace {
constexpr const char* kJpegMime = "image/jpeg";
constexpr const char* kPngMime = "image/png";
constexpr const char* kTiffMime = "image/tiff";
constexpr const char* kGifMime = "image/gif";

bool Save(Bitmap& status, const Bitmap& picture, const QString& path, const char* mimeType,
          const EncoderParameters& parameters = {})
{
    const ImageCodecInfo* encoder = nullptr;
    if (FindEncoderByMimeType(mimeType, &encoder) < 0) {
        status.SetLastStatus({ImageStatus::EncoderNotFound, path + QStringLiteral(": no encoder for ")
                                                                 + QString::fromLatin1(mimeType)});
        return false;
    }
    const ImageResult result = SaveImageToFile(picture, path, *encoder, parameters);
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
    return Save(bitmap, bitmap, path, kJpegMime, EncoderParameters{static_cast<std::uint32_t>(jpegQuality)});
}

bool SaveAsPng(Bitmap& bitmap, const QString& path)
{
    return Save(bitmap, bitmap, path, kPngMime);
}

bool SaveAsTiff(Bitmap& bitmap, const QString& path)
{
    return Save(bitmap, bitmap, path, kTiffMime);
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
    return Save(bitmap, indexed, path, kGifMime);
}
