#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

// Outcome of an imaging call; the numbers follow the imaging library the
// program was first written for, so stored or logged codes keep their meaning.
enum class ImageStatus : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    FileError = 7,
};

struct ImageResult {
    ImageStatus status = ImageStatus::Ok;
    QString text; // what went wrong, for the end-of-conversion report

    bool Succeeded() const { return status == ImageStatus::Ok; }
};

// Yuv420: full-range BT.601 Y, Cb, Cr planes, chroma at half the width and height.
enum class PixelFormat { Bgr24, Indexed8, Yuv420 };

// One palette entry in the byte order of a device-independent bitmap.
struct PaletteEntry {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;

    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

using Palette = std::array<PaletteEntry, 256>;

// A picture over pixels it does not own. The pixels (and the palette) must
// outlive the bitmap; nothing is copied.
class Bitmap final {
public:
    using Planes = std::array<const std::uint8_t*, 3>;
    using Strides = std::array<std::ptrdiff_t, 3>;

    // Rows bottom-up, each padded to a multiple of 4 bytes, as a
    // device-independent bitmap lays them out: 24 bits per pixel, blue,
    // green, red.
    Bitmap(int width, int height, const std::uint8_t* bits, std::size_t length);
    // The same with 8-bit indices into palette.
    Bitmap(int width, int height, const std::uint8_t* indices, std::size_t length, const Palette& palette);
    // Planes as a decoder lays them out: the top row of each and the bytes
    // from one row to the next below (negative when rows are stored bottom-up).
    Bitmap(PixelFormat format, int width, int height, const Planes& topRows, const Strides& strides);
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // Bytes per row, padded to 4, for width pixels of bitsPerPixel; -1 when it does not fit.
    static std::int64_t RowStride(int width, int bitsPerPixel);

    // False when the size is not positive or the buffer is too short for it;
    // such a bitmap cannot be saved.
    bool IsValid() const { return valid_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    PixelFormat Format() const { return format_; }
    // Bytes a row of plane 0 takes in a bottom-up bitmap, padding included.
    std::size_t Stride() const { return stride_; }
    std::ptrdiff_t RowStep(int plane = 0) const { return steps_[plane]; }
    // Row y of a plane, counted from the top of the picture.
    const std::uint8_t* Row(int y, int plane = 0) const { return rows_[plane] + steps_[plane] * y; }
    const Palette* GetPalette() const { return palette_; }

    // Whoever lent the pixels may take them back once an encoder has read
    // them all, before the file is written: a large picture's memory need
    // not wait for its file. Row() must not be called after that.
    void SetRelease(std::function<void()> release) { release_ = std::move(release); }
    void ReleasePixels() const
    {
        if (release_)
            release_();
    }

private:
    Bitmap(int width, int height, const std::uint8_t* bits, std::size_t length, PixelFormat format,
           const Palette* palette);

    int width_;
    int height_;
    PixelFormat format_;
    const Palette* palette_;
    Planes rows_{};
    Strides steps_{};
    std::size_t stride_ = 0;
    bool valid_ = false;
    std::function<void()> release_;
};
