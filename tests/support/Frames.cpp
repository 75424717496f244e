#include "support/Frames.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
std::size_t PaddedStride(int width)
{
    return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
}

QString Size(int width, int height)
{
    return QStringLiteral("%1x%2").arg(width).arg(height);
}
} // namespace

TestFrame GenerateFrame(int width, int height, const QString& source)
{
    QTemporaryDir folder;
    const QString raw = folder.filePath(QStringLiteral("frame.bgr"));
    const QString input = source + QStringLiteral("=size=") + Size(width, height) + QStringLiteral(":rate=1");
    if (!GenerateClip(raw, {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), input,
                            QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-s"), Size(width, height),
                            QStringLiteral("-f"),
                            QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("bgr24")}))
        return {};
    const QByteArray topDown = ReadFile(raw);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    if (static_cast<std::size_t>(topDown.size()) != rowBytes * static_cast<std::size_t>(height)) {
        ADD_FAILURE() << "ffmpeg gave " << topDown.size() << " bytes for " << Size(width, height).toStdString();
        return {};
    }
    TestFrame frame{width, height, PaddedStride(width), {}};
    frame.bits = QByteArray(static_cast<qsizetype>(frame.stride) * height, '\0');
    for (int y = 0; y < height; ++y)
        std::memcpy(frame.Data() + frame.stride * static_cast<std::size_t>(height - 1 - y),
                    topDown.constData() + rowBytes * static_cast<std::size_t>(y), rowBytes);
    return frame;
}

TestFrame SolidFrame(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    TestFrame frame{width, height, PaddedStride(width), {}};
    frame.bits = QByteArray(static_cast<qsizetype>(frame.stride) * height, '\0');
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = frame.Data() + frame.stride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            row[x * 3] = blue;
            row[x * 3 + 1] = green;
            row[x * 3 + 2] = red;
        }
    }
    return frame;
}

QByteArray DecodeToRgb24(const QString& path)
{
    QTemporaryDir folder;
    const QString raw = folder.filePath(QStringLiteral("decoded.rgb"));
    QByteArray output;
    const int code = RunProgram(QStringLiteral(FFMPEG_PROGRAM),
                                {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                 QStringLiteral("-i"), path, QStringLiteral("-f"), QStringLiteral("rawvideo"),
                                 QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"), raw},
                                &output);
    return code == 0 ? ReadFile(raw) : QByteArray();
}

QByteArray TopDownRgb(const TestFrame& frame)
{
    QByteArray rgb;
    rgb.reserve(static_cast<qsizetype>(frame.width) * frame.height * 3);
    for (int y = frame.height - 1; y >= 0; --y) {
        const std::uint8_t* row = frame.Data() + frame.stride * static_cast<std::size_t>(y);
        for (int x = 0; x < frame.width; ++x) {
            rgb.append(static_cast<char>(row[x * 3 + 2]));
            rgb.append(static_cast<char>(row[x * 3 + 1]));
            rgb.append(static_cast<char>(row[x * 3]));
        }
    }
    return rgb;
}

double Psnr(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size() || a.isEmpty())
        return 0;
    double squares = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const double difference = static_cast<std::uint8_t>(a[i]) - static_cast<std::uint8_t>(b[i]);
        squares += difference * difference;
    }
    if (squares == 0)
        return std::numeric_limits<double>::infinity();
    return 10 * std::log10(255.0 * 255.0 * static_cast<double>(a.size()) / squares);
}
