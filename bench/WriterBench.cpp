// Frames per second of each picture format, written the way a conversion
// writes them: one frame at a time through the frame sampler, replacing the
// same file. Usage: bench_writers <frame.bgr> <width> <height> <folder> [frames]
// where frame.bgr is one top-down BGR24 frame without padding (ffmpeg's rawvideo).

#include "extract/FrameSampler.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
constexpr const char* kFormats[] = {"bmp", "jpg", "png", "tif", "gif"};

// The render engine's layout: bottom-up rows padded to 4 bytes.
std::vector<std::uint8_t> BottomUp(const QByteArray& topDown, int width, int height)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    std::vector<std::uint8_t> frame(stride * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        std::memcpy(frame.data() + stride * static_cast<std::size_t>(height - 1 - y),
                    topDown.constData() + rowBytes * static_cast<std::size_t>(y), rowBytes);
    return frame;
}

double FramesPerSecond(FrameGrabberCallback& sampler, const ConversionSettings& settings, int width, int height,
                       const std::vector<std::uint8_t>& frame, int frames)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        // A new conversion per frame keeps the plain name, so each frame replaces the last file.
        sampler.BeginConversion(settings);
        sampler.SetFrameSize(width, height);
        sampler.BufferCB(i / 25.0, frame.data(), static_cast<long>(frame.size()));
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
    const std::vector<std::uint8_t> frame = BottomUp(input.readAll(), width, height);
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
