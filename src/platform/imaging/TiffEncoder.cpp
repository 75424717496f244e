#include "platform/imaging/Encoders.h"
#include "platform/imaging/OutputFile.h"

#include <tiffio.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {
struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// libtiff reaches the file through these; the OutputFile owns and closes it.
std::FILE* Stream(thandle_t handle)
{
    return static_cast<std::FILE*>(handle);
}

tmsize_t Read(thandle_t handle, void* data, tmsize_t size)
{
    return static_cast<tmsize_t>(std::fread(data, 1, static_cast<std::size_t>(size), Stream(handle)));
}

tmsize_t Write(thandle_t handle, void* data, tmsize_t size)
{
    return static_cast<tmsize_t>(std::fwrite(data, 1, static_cast<std::size_t>(size), Stream(handle)));
}

toff_t Seek(thandle_t handle, toff_t offset, int whence)
{
    if (fseeko(Stream(handle), static_cast<off_t>(offset), whence) != 0)
        return static_cast<toff_t>(-1);
    return static_cast<toff_t>(ftello(Stream(handle)));
}

int Close(thandle_t)
{
    return 0;
}

toff_t Size(thandle_t handle)
{
    std::FILE* stream = Stream(handle);
    const off_t position = ftello(stream);
    fseeko(stream, 0, SEEK_END);
    const off_t size = ftello(stream);
    fseeko(stream, position, SEEK_SET);
    return static_cast<toff_t>(size);
}

int Map(thandle_t, void**, toff_t*)
{
    return 0;
}

void Unmap(thandle_t, void*, toff_t) {}

// Keeps libtiff's first complaint for the result instead of printing it.
int OnError(TIFF*, void* userData, const char*, const char* format, va_list arguments)
{
    auto* text = static_cast<QString*>(userData);
    if (text->isEmpty()) {
        char buffer[256];
        std::vsnprintf(buffer, sizeof buffer, format, arguments);
        *text = QString::fromLocal8Bit(buffer);
    }
    return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

TiffHandle OpenTiff(OutputFile& file, QString& errorText)
{
    const std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &errorText);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, nullptr);
    const QByteArray name = file.Path().toLocal8Bit();
    return TiffHandle(TIFFClientOpenExt(name.constData(), "w", file.Handle(), Read, Write, Seek, Close, Size,
                                        Map, Unmap, options.get()));
}

void SetRgbFields(TIFF* tiff, const Bitmap& bitmap)
{
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(bitmap.Width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(bitmap.Height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    // Differences from the left neighbour halve an LZW file of a video frame and cost no speed.
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
}

// TIFF keeps red first, so each row is reordered on its way out; the frame itself is not touched.
bool WriteRows(TIFF* tiff, const Bitmap& bitmap)
{
    std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.Width()) * 3);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* source = bitmap.Row(y);
        for (std::size_t i = 0; i < row.size(); i += 3) {
            row[i] = source[i + 2];
            row[i + 1] = source[i + 1];
            row[i + 2] = source[i];
        }
        if (TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0) < 0)
            return false;
    }
    return TIFFFlush(tiff) == 1;
}
} // namespace

ImageResult EncodeTiff(const Bitmap& bitmap, OutputFile& file, const EncoderParameters&)
{
    if (bitmap.Format() != PixelFormat::Bgr24)
        return InvalidInput(file, "TIFF needs a 24-bit frame");
    QString errorText;
    const TiffHandle tiff = OpenTiff(file, errorText);
    if (!tiff)
        return EncoderFailure(file, errorText.isEmpty() ? QStringLiteral("cannot start the TIFF writer") : errorText);
    SetRgbFields(tiff.get(), bitmap);
    if (!WriteRows(tiff.get(), bitmap))
        return EncoderFailure(file, errorText.isEmpty() ? QStringLiteral("TIFF write failed") : errorText);
    return {};
}
