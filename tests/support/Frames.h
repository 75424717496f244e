#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// A frame as the render engine delivers it: rows bottom-up, blue, green, red,
// each row padded to a multiple of 4 bytes.
struct TestFrame {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    QByteArray bits;

    const std::uint8_t* Data() const { return reinterpret_cast<const std::uint8_t*>(bits.constData()); }
    std::uint8_t* Data() { return reinterpret_cast<std::uint8_t*>(bits.data()); }
};

// One frame of an ffmpeg lavfi source ("testsrc2", "mandelbrot", ...) at the
// given size, in the delivered layout; an empty frame (with a test failure) when ffmpeg fails.
TestFrame GenerateFrame(int width, int height, const QString& source = QStringLiteral("testsrc2"));
// A frame of one colour.
TestFrame SolidFrame(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red);

// The picture in a file, decoded by the ffmpeg program to top-down RGB24 with no padding;
// empty when ffmpeg cannot read it.
QByteArray DecodeToRgb24(const QString& path);
// The frame in that same layout.
QByteArray TopDownRgb(const TestFrame& frame);

// Peak signal-to-noise ratio in dB of two equally long 8-bit buffers (infinity when equal,
// 0 when the lengths differ).
double Psnr(const QByteArray& a, const QByteArray& b);
