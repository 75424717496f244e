#include "platform/imaging/ImageEncoders.h"

#include "platform/imaging/Encoders.h"
#include "platform/imaging/OutputFile.h"

namespace {
ImageResult FileFailure(const OutputFile& file)
{
    return {ImageStatus::FileError, file.ErrorText()};
}
} // namespace

ImageResult SaveImageToFile(const Bitmap& bitmap, OutputFile& file, EncodeFunction encode,
                            const EncoderParameters& parameters)
{
    if (!bitmap.IsValid())
        return UnfitFrame(file);
    if (!file.IsOpen())
        return FileFailure(file);
    const ImageResult result = encode(bitmap, file, parameters);
    if (!file.CheckWritten())
        return FileFailure(file);
    if (!result.Succeeded())
        return result;
    if (!file.Commit())
        return FileFailure(file);
    return result;
}

ImageResult InvalidInput(const OutputFile& file, const char* reason)
{
    return {ImageStatus::InvalidParameter, file.Path() + QStringLiteral(": ") + QString::fromLatin1(reason)};
}

ImageResult UnfitFrame(const OutputFile& file)
{
    return InvalidInput(file, "the frame does not fit its buffer");
}

ImageResult EncoderFailure(const OutputFile& file, const QString& reason)
{
    return {ImageStatus::GenericError, file.Path() + QStringLiteral(": ") + reason};
}
