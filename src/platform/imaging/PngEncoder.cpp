#include "platform/imaging/Encoders.h"
#include "platform/imaging/OutputFile.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <vector>

namespace {
// Chosen for speed (bench/compare_writers.sh, 1920x1080): zlib's fastest
// level, the Up filter and run-length matching write a frame nearly three
// times as fast as the defaults (level 6, adaptive filters) for a file about
// an eighth larger; the file is an ordinary PNG that every viewer reads.
constexpr int kCompressionLevel = 1;
constexpr int kFilter = PNG_FILTER_UP;
constexpr int kStrategy = Z_RLE;

struct PngError {
    char text[256] = {};
};

[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    auto* error = static_cast<PngError*>(png_get_error_ptr(png));
    std::snprintf(error->text, sizeof error->text, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Owns the write and info structures; libpng frees both in one call.
class PngWriter final {
public:
    explicit PngWriter(PngError& error)
        : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, OnError, OnWarning)),
          info_(png_ ? png_create_info_struct(png_) : nullptr)
    {
    }
    ~PngWriter() { png_destroy_write_struct(&png_, &info_); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    bool IsValid() const { return png_ != nullptr && info_ != nullptr; }
    png_structp Png() const { return png_; }
    png_infop Info() const { return info_; }

private:
    png_structp png_;
    png_infop info_;
};

// libpng leaves this function by longjmp on any error, so nothing with a
// destructor may live in its frame.
bool WriteRows(png_structp png, png_infop info, std::FILE* file, const Bitmap& bitmap, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()), static_cast<png_uint_32>(bitmap.Height()),
                 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, kCompressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, kFilter);
    png_set_compression_strategy(png, kStrategy);
    png_write_info(png, info);
    png_set_bgr(png);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

// Row pointers from the top of the picture down, into the frame itself;
// libpng copies each row before it transforms it.
std::vector<png_bytep> TopDownRows(const Bitmap& bitmap)
{
    std::vector<png_bytep> rows(static_cast<std::size_t>(bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(bitmap.Row(y));
    return rows;
}
} // namespace

ImageResult EncodePng(const Bitmap& bitmap, OutputFile& file, const EncoderParameters&)
{
    if (bitmap.Format() != PixelFormat::Bgr24)
        return InvalidInput(file, "PNG needs a 24-bit frame");
    PngError error;
    const PngWriter writer(error);
    if (!writer.IsValid())
        return {ImageStatus::OutOfMemory, file.Path() + QStringLiteral(": cannot start the PNG writer")};
    std::vector<png_bytep> rows = TopDownRows(bitmap);
    if (!WriteRows(writer.Png(), writer.Info(), file.Handle(), bitmap, rows.data()))
        return EncoderFailure(file, QString::fromLocal8Bit(error.text));
    return {};
}
