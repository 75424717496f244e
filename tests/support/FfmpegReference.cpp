#include "support/FfmpegReference.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Number(double value)
{
    return QString::number(value, 'g', 12);
}

// Shifts the clip so that start is time 0, then lets the fps filter take one
// frame per output slot and trim cut at the end.
QString Filters(double start, double end, double rate, int width, int height, const ReferenceFilters& filters)
{
    return (filters.first.isEmpty() ? QString() : filters.first + u',') +
           QStringLiteral("setpts=PTS-%1/TB,fps=%2,trim=start=0:end=%3,scale=%4:%5")
               .arg(Number(start), Number(rate), Number(end - start))
               .arg(width)
               .arg(height) +
           (filters.scaler.isEmpty() ? QString() : u':' + filters.scaler);
}

// Cuts raw RGB24 pictures of one size apart.
std::vector<QByteArray> SplitFrames(const QByteArray& pixels, int width, int height)
{
    const qsizetype frameBytes = qsizetype{width} * height * 3;
    std::vector<QByteArray> frames;
    for (qsizetype at = 0; frameBytes > 0 && at + frameBytes <= pixels.size(); at += frameBytes)
        frames.push_back(pixels.mid(at, frameBytes));
    return frames;
}

} // namespace

std::vector<QByteArray> FfmpegReferenceFrames(const QString& clip, double start, double end, double rate, int width,
                                              int height, const ReferenceFilters& filters)
{
    QTemporaryDir folder;
    const QString raw = folder.filePath(QStringLiteral("reference.rgb"));
    QByteArray output;
    const int code = RunProgram(QStringLiteral(FFMPEG_PROGRAM),
                                {QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-loglevel"),
                                 QStringLiteral("error"),
                                 // Pictures cut to their exact visible part, as our decoder cuts them.
                                 QStringLiteral("-flags"), QStringLiteral("unaligned"), QStringLiteral("-i"), clip,
                                 QStringLiteral("-map"),
                                 QStringLiteral("0:v:0"), QStringLiteral("-vf"),
                                 Filters(start, end, rate, width, height, filters), QStringLiteral("-fps_mode"),
                                 QStringLiteral("passthrough"), QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"),
                                 QStringLiteral("-f"), QStringLiteral("rawvideo"), raw,
                                 // Every stream stays read, so that time 0 is the file's first timestamp
                                 // whatever stream it belongs to: with the picture alone, ffmpeg counts an
                                 // MPEG program or transport stream from the picture's first timestamp.
                                 QStringLiteral("-map"), QStringLiteral("0"), QStringLiteral("-c"),
                                 QStringLiteral("copy"), QStringLiteral("-f"), QStringLiteral("null"),
                                 QStringLiteral("-")},
                                &output);
    EXPECT_EQ(code, 0) << clip.toStdString() << ": " << output.toStdString();
    return SplitFrames(ReadFile(raw), width, height);
}

std::vector<QByteArray> FfmpegSourceFrames(const QString& graph, int width, int height, int count)
{
    QTemporaryDir folder;
    const QString raw = folder.filePath(QStringLiteral("source.rgb"));
    QByteArray output;
    const int code = RunProgram(QStringLiteral(FFMPEG_PROGRAM),
                                {QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-loglevel"),
                                 QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                                 QStringLiteral("-i"), graph, QStringLiteral("-frames:v"), QString::number(count),
                                 QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"), QStringLiteral("-f"),
                                 QStringLiteral("rawvideo"), raw},
                                &output);
    EXPECT_EQ(code, 0) << graph.toStdString() << ": " << output.toStdString();
    return SplitFrames(ReadFile(raw), width, height);
}
