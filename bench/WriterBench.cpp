// Frames per second of each picture format, written the way a conversion
// writes them: one frame at a time through the frame sampler, replacing the
// same file. Usage: bench_writers <frame.bgr> <width> <height> <folder> [frames]
// where frame.bgr is one top-down BGR24 frame without padding (ffmpeg's rawvideo).

#include "extract/FrameSampler.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {
constexpr const char* kFormats[] = {"bmp", "jpg", "png", "tif", "gif"};

std::uint8_t Clamped(double value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// The frame as the filter chain draws it for the writer: blue, green, red,
// or full-range BT.601 planes with each chroma sample the mean of four pixels.
// Drawing it is timed with the writing, as copying it was before.
DrawnPicture Draw(const QByteArray& bgr, int width, int height, PictureLayout layout)
{
    DrawnPicture picture = DrawnPicture::Black(layout, width, height);
    const auto pixel = [&](int x, int y) {
        return reinterpret_cast<const std::uint8_t*>(bgr.constData()) + (std::size_t(y) * width + x) * 3;
    };
    for (int y = 0; y < height; ++y) {
        if (layout == PictureLayout::Bgr24) {
            std::memcpy(picture.Plane(0) + picture.Stride(0) * y, pixel(0, y), std::size_t(width) * 3);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = pixel(x, y);
            picture.Plane(0)[picture.Stride(0) * y + x] = Clamped(0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2]);
        }
    }
    if (layout == PictureLayout::Yuv420)
        for (int y = 0; y < height; y += 2)
            for (int x = 0; x < width; x += 2) {
                double blue = 0, green = 0, red = 0;
                for (const auto& [dx, dy] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
                    const std::uint8_t* p = pixel(std::min(x + dx, width - 1), std::min(y + dy, height - 1));
                    blue += p[0] / 4.0;
                    green += p[1] / 4.0;
                    red += p[2] / 4.0;
                }
                const double luma = 0.114 * blue + 0.587 * green + 0.299 * red;
                picture.Plane(1)[picture.Stride(1) * (y / 2) + x / 2] = Clamped(128 + (blue - luma) / 1.772);
                picture.Plane(2)[picture.Stride(2) * (y / 2) + x / 2] = Clamped(128 + (red - luma) / 1.402);
            }
    return picture;
}

double FramesPerSecond(FrameGrabberCallback& sampler, const ConversionSettings& settings, int width, int height,
                       const QByteArray& frame, int frames)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        // A new conversion per frame keeps the plain name, so each frame replaces the last file.
        sampler.BeginConversion(settings);
        sampler.SampleCB(i / 25.0, Draw(frame, width, height, sampler.Layout()));
    }
    sampler.FinishConversion();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return frames / elapsed.count();
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <frame.bgr> <width> <height> <folder> [frames]\n", argv[0]);
        return 2;
    }
    QFile input(QString::fromLocal8Bit(argv[1]));
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    const QString folder = QDir(QString::fromLocal8Bit(argv[4])).absolutePath() + u'/';
    const int frames = argc > 5 ? std::atoi(argv[5]) : 30;
    if (!input.open(QIODevice::ReadOnly) || input.size() != qint64{width} * height * 3 || frames < 1) {
        std::fprintf(stderr, "%s is not one %dx%d BGR24 frame\n", argv[1], width, height);
        return 2;
    }
    const QByteArray frame = input.readAll();
    std::FILE* quiet = std::fopen("/dev/null", "w");
    FrameGrabberCallback sampler([] { return LocalTime{2009, 12, 31, 23, 59, 59, 999}; }, quiet);
    std::printf("%-6s %10s %12s\n", "format", "fps", "bytes");
    for (int format = 0; format < 5; ++format) {
        ConversionSettings settings;
        settings.outputFolder = folder;
        settings.outputFormat = format;
        const double fps = FramesPerSecond(sampler, settings, width, height, frame, frames);
        const QString path = folder + QStringLiteral("capture.2009.12.31.23.59.59.999.") + kFormats[format];
        std::printf("%-6s %10.1f %12lld\n", kFormats[format], fps, static_cast<long long>(QFileInfo(path).size()));
    }
    std::fclose(quiet);
    return sampler.Failures().count == 0 ? 0 : 1;
}
