#include "platform/imaging/Encoders.h"
#include "platform/imaging/OutputFile.h"

#include <libdeflate.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <span>
#include <utility>
#include <vector>

namespace {
// libpng frames the file (signature, header, chunks and their checksums);
// the image data is compressed by libdeflate. Its level 2 compressed the
// 1920x1080 frames we tried (test patterns, a fractal, a noisy picture) a
// third to a half faster than zlib's fastest settings, into files that are
// mostly smaller; its level 1 is slower on the long runs of a filtered flat
// picture. bench/compare_writers.sh compares the result with ffmpeg's encoder.
constexpr int kCompressionLevel = 2;
// Every row is stored as the difference to the row above (the Up filter):
// cheap to compute, and it shrinks smooth pictures by a fifth or more.
constexpr png_byte kUpFilter = 2;
// The compressed data goes out in chunks of this size, as libpng does too.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
constexpr png_byte kIdat[5] = "IDAT";
constexpr png_byte kIend[5] = "IEND";

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

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

// What one thread keeps from picture to picture: the compressor and the two
// image-sized buffers, so that a run of pictures allocates them once. The
// output is left uninitialised: only the pages the compressed data reaches
// take memory.
struct DeflateScratch {
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor{libdeflate_alloc_compressor(kCompressionLevel)};
    std::vector<std::uint8_t> filtered;
    std::unique_ptr<std::uint8_t[]> compressed;
    std::size_t compressedCapacity = 0;
};

// The scanlines PNG compresses, from the top of the picture down: a filter
// byte, then red, green and blue of each pixel minus the pixel above it.
// Subtracting first and swapping blue and red after is the faster order:
// the subtraction runs over whole rows in vector registers.
void FilterRows(const Bitmap& bitmap, std::vector<std::uint8_t>& filtered)
{
    const std::size_t rowBytes = static_cast<std::size_t>(bitmap.Width()) * 3;
    filtered.resize((1 + rowBytes) * static_cast<std::size_t>(bitmap.Height()));
    const std::vector<std::uint8_t> blackRow(rowBytes, 0); // what the first row is taken from
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.Row(y);
        const std::uint8_t* above = y > 0 ? bitmap.Row(y - 1) : blackRow.data();
        std::uint8_t* line = filtered.data() + (1 + rowBytes) * static_cast<std::size_t>(y);
        line[0] = kUpFilter;
        std::uint8_t* pixels = line + 1;
        for (std::size_t i = 0; i < rowBytes; ++i)
            pixels[i] = static_cast<std::uint8_t>(row[i] - above[i]);
        for (std::size_t i = 0; i < rowBytes; i += 3)
            std::swap(pixels[i], pixels[i + 2]);
    }
}

// The zlib stream of the filtered rows; empty when the compressor is missing.
std::span<const std::uint8_t> Compress(DeflateScratch& scratch)
{
    if (!scratch.compressor)
        return {};
    const std::size_t bound = libdeflate_zlib_compress_bound(scratch.compressor.get(), scratch.filtered.size());
    if (scratch.compressedCapacity < bound) {
        scratch.compressed = std::make_unique_for_overwrite<std::uint8_t[]>(bound);
        scratch.compressedCapacity = bound;
    }
    const std::size_t size = libdeflate_zlib_compress(scratch.compressor.get(), scratch.filtered.data(),
                                                      scratch.filtered.size(), scratch.compressed.get(), bound);
    return {scratch.compressed.get(), size};
}

// libpng leaves this function by longjmp on any error, so nothing with a
// destructor may live in its frame.
bool WriteChunks(png_structp png, png_infop info, std::FILE* file, const Bitmap& bitmap,
                 const std::uint8_t* data, std::size_t size)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()), static_cast<png_uint_32>(bitmap.Height()),
                 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::size_t offset = 0; offset < size; offset += kChunkBytes)
        png_write_chunk(png, kIdat, data + offset, std::min(kChunkBytes, size - offset));
    png_write_chunk(png, kIend, nullptr, 0);
    return true;
}
} // namespace

ImageResult EncodePng(const Bitmap& bitmap, OutputFile& file, const EncoderParameters&)
{
    if (bitmap.Format() != PixelFormat::Bgr24)
        return InvalidInput(file, "PNG needs a 24-bit frame");
    thread_local DeflateScratch scratch;
    std::span<const std::uint8_t> compressed;
    try {
        FilterRows(bitmap, scratch.filtered);
        bitmap.ReleasePixels();
        compressed = Compress(scratch);
    } catch (const std::bad_alloc&) {
        compressed = {};
    }
    if (compressed.empty())
        return {ImageStatus::OutOfMemory, file.Path() + QStringLiteral(": cannot compress the PNG data")};
    PngError error;
    const PngWriter writer(error);
    if (!writer.IsValid())
        return {ImageStatus::OutOfMemory, file.Path() + QStringLiteral(": cannot start the PNG writer")};
    if (!WriteChunks(writer.Png(), writer.Info(), file.Handle(), bitmap, compressed.data(), compressed.size()))
        return EncoderFailure(file, QString::fromLocal8Bit(error.text));
    return {};
}
