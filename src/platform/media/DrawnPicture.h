#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

struct AVFrame;

// How a drawn picture's pixels are laid out: blue, green, red in one plane,
// or full-range BT.601 Y, Cb and Cr planes with chroma at half the width and
// height (as a 4:2:0 JPEG stores them).
enum class PictureLayout { Bgr24, Yuv420 };

// A picture the filter chain drew, held by reference: its pixels stay valid
// while it lives, whatever the chain draws next, and are never copied.
// Rows run from the top; a plane's stride is in bytes.
class DrawnPicture final {
public:
    DrawnPicture();
    // Takes over the frame's reference; the frame is left blank.
    DrawnPicture(AVFrame& frame, PictureLayout layout);
    ~DrawnPicture();
    DrawnPicture(DrawnPicture&&) noexcept;
    DrawnPicture& operator=(DrawnPicture&&) noexcept;

    // A black picture of its own memory; empty when there is no memory for it.
    static DrawnPicture Black(PictureLayout layout, int width, int height);
    // FFmpeg's pixel format of a layout (an AVPixelFormat).
    static int PixelFormatOf(PictureLayout layout);

    bool Empty() const;
    PictureLayout Layout() const { return layout_; }
    int Width() const;
    int Height() const;
    // Planes 0 to 2 (only 0 for BGR24), top row first.
    std::uint8_t* Plane(int plane) const;
    std::ptrdiff_t Stride(int plane) const;

private:
    struct Freer {
        void operator()(AVFrame* frame) const;
    };

    std::unique_ptr<AVFrame, Freer> frame_;
    PictureLayout layout_ = PictureLayout::Bgr24;
};
