#include "support/TestClips.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QTemporaryDir& ClipFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/framelift-clips-XXXXXX"));
    return folder;
}

QStringList Lavfi(const QString& graph)
{
    return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), graph};
}

QStringList Sound(double seconds)
{
    return Lavfi(QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(seconds));
}

QStringList H264(const QString& pixelFormat = QStringLiteral("yuv420p"))
{
    return {QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-preset"),
            QStringLiteral("veryfast"), QStringLiteral("-pix_fmt"), pixelFormat, QStringLiteral("-g"),
            QStringLiteral("25")};
}

// Writes the display matrix of the first track header of an MP4 file, the
// way phones record portrait and mirrored clips (the ffmpeg program here cannot).
bool SetDisplayMatrix(const QString& path, DisplayMatrix display)
{
    QByteArray bytes = ReadFile(path);
    const qsizetype box = bytes.indexOf("tkhd") - 4;
    if (box < 0)
        return false;
    const qsizetype matrix = box + (bytes.at(box + 8) == 0 ? 48 : 60);
    // 16.16 fixed point, the last column 2.30.
    const qint32 values[9] = {display.a * 65536, display.b * 65536, 0, display.c * 65536, display.d * 65536, 0, 0,
                              0, 1 << 30};
    for (int i = 0; i < 9; ++i)
        for (int b = 0; b < 4; ++b)
            bytes[matrix + i * 4 + b] = static_cast<char>(static_cast<quint32>(values[i]) >> (24 - 8 * b));
    WriteFile(path, bytes);
    return true;
}

} // namespace

QString TestClip(const ClipRecipe& recipe)
{
    static QHash<QString, QString> made;
    if (const auto found = made.constFind(recipe.fileName); found != made.constEnd())
        return *found;
    const QString path = ClipFolder().filePath(recipe.fileName);
    if (!GenerateClip(path, recipe.options))
        return {};
    if (recipe.display != DisplayMatrix{} && !SetDisplayMatrix(path, recipe.display)) {
        ADD_FAILURE() << "no track header in " << path.toStdString();
        return {};
    }
    made.insert(recipe.fileName, path);
    return path;
}

DisplayMatrix DisplayMatrix::Clockwise(int degrees)
{
    const int quarter = (degrees / 90 % 4 + 4) % 4;
    const int cosine[] = {1, 0, -1, 0};
    const int sine[] = {0, 1, 0, -1};
    return {cosine[quarter], sine[quarter], -sine[quarter], cosine[quarter]};
}

QString MovingPicture(int width, int height, double rate, double seconds)
{
    // testsrc2 makes even sizes only; the scaler brings it to the size asked for.
    return QStringLiteral("testsrc2=size=%1x%2:rate=%3:duration=%4,scroll=horizontal=0.02,scale=%5:%6")
        .arg(width + width % 2)
        .arg(height + height % 2)
        .arg(rate, 0, 'g', 10)
        .arg(seconds)
        .arg(width)
        .arg(height);
}

namespace clips {

ClipRecipe H264Mp4()
{
    return {QStringLiteral("h264.mp4"), Lavfi(MovingPicture(320, 240, 25, 3)) + Sound(3) + H264() +
                                            QStringList{QStringLiteral("-c:a"), QStringLiteral("aac"),
                                                        QStringLiteral("-movflags"), QStringLiteral("+faststart")}};
}

ClipRecipe Mpeg4Avi()
{
    return {QStringLiteral("mpeg4.avi"), Lavfi(MovingPicture(320, 240, 25, 2)) +
                                             QStringList{QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
                                                         QStringLiteral("-q:v"), QStringLiteral("3")}};
}

ClipRecipe Mpeg2Mpg()
{
    // The program stream's clock begins at 1.4 s, as on many recordings.
    return {QStringLiteral("mpeg2.mpg"),
            Lavfi(MovingPicture(352, 288, 25, 2)) + Sound(2) +
                QStringList{QStringLiteral("-c:v"), QStringLiteral("mpeg2video"), QStringLiteral("-q:v"),
                            QStringLiteral("2"), QStringLiteral("-c:a"), QStringLiteral("mp2"),
                            QStringLiteral("-output_ts_offset"), QStringLiteral("1.4"), QStringLiteral("-f"),
                            QStringLiteral("mpeg")}};
}

ClipRecipe Wmv()
{
    return {QStringLiteral("wmv2.wmv"), Lavfi(MovingPicture(320, 240, 25, 2)) +
                                            QStringList{QStringLiteral("-c:v"), QStringLiteral("wmv2"),
                                                        QStringLiteral("-q:v"), QStringLiteral("3")}};
}

ClipRecipe Vp8Webm()
{
    return {QStringLiteral("vp8.webm"), Lavfi(MovingPicture(320, 240, 30, 2)) +
                                            // The real-time deadline and threads make the bytes depend on
                                            // the machine's load; these settings give the same file each time.
                                            QStringList{QStringLiteral("-c:v"), QStringLiteral("libvpx"),
                                                        QStringLiteral("-b:v"), QStringLiteral("1M"),
                                                        QStringLiteral("-deadline"), QStringLiteral("good"),
                                                        QStringLiteral("-cpu-used"), QStringLiteral("5"),
                                                        QStringLiteral("-threads"), QStringLiteral("1")}};
}

ClipRecipe H264Mkv()
{
    return {QStringLiteral("h264.mkv"), Lavfi(MovingPicture(320, 240, 24000.0 / 1001, 2)) + H264()};
}

ClipRecipe AnimatedGif()
{
    return {QStringLiteral("anim.gif"), Lavfi(MovingPicture(160, 120, 10, 2))};
}

ClipRecipe RotatedMp4()
{
    return TurnedMp4(QStringLiteral("rotated.mp4"), DisplayMatrix::Clockwise(90));
}

ClipRecipe TurnedMp4(const QString& name, DisplayMatrix display)
{
    return {name,
            Lavfi(MovingPicture(320, 180, 25, 2)) + H264() +
                QStringList{QStringLiteral("-movflags"), QStringLiteral("+faststart")},
            display};
}

ClipRecipe LongerMp4()
{
    return {QStringLiteral("long.mp4"), Lavfi(MovingPicture(160, 120, 10, 10.9)) + H264()};
}

ClipRecipe OddSizeMkv()
{
    // 4:4:4 keeps every pixel of an odd size.
    return {QStringLiteral("odd.mkv"), Lavfi(MovingPicture(321, 241, 25, 2)) + H264(QStringLiteral("yuv444p"))};
}

ClipRecipe VariableRateMkv()
{
    // 25 frames 40 ms apart, then 25 frames 80 ms apart.
    return {QStringLiteral("vfr.mkv"),
            Lavfi(MovingPicture(320, 240, 25, 2) +
                  QStringLiteral(",settb=1/1000,setpts='if(lt(N,25),N*0.04,1+(N-25)*0.08)/TB'")) +
                H264() + QStringList{QStringLiteral("-fps_mode"), QStringLiteral("passthrough")}};
}

ClipRecipe AudioOnlyM4a()
{
    return {QStringLiteral("sound.m4a"), Sound(2) + QStringList{QStringLiteral("-c:a"), QStringLiteral("aac")}};
}

ClipRecipe Wide169Mp4()
{
    return {QStringLiteral("wide.mp4"),
            Lavfi(QStringLiteral("color=c=0x3080C0:size=320x180:rate=25:duration=1")) + H264()};
}

ClipRecipe Bt709FullRangeMp4()
{
    return {QStringLiteral("bt709full.mp4"),
            Lavfi(MovingPicture(320, 240, 25, 1) + QStringLiteral(",scale=out_color_matrix=bt709:out_range=pc")) +
                H264() +
                QStringList{QStringLiteral("-colorspace"), QStringLiteral("bt709"), QStringLiteral("-color_range"),
                            QStringLiteral("pc"), QStringLiteral("-color_primaries"), QStringLiteral("bt709"),
                            QStringLiteral("-color_trc"), QStringLiteral("bt709")}};
}

ClipRecipe ColourMp4(const QString& colour, const QString& matrix, const QString& range)
{
    return {QStringLiteral("colour-%1-%2-%3.mp4").arg(colour, matrix, range),
            Lavfi(QStringLiteral("color=c=0x%1:size=64x48:rate=25:duration=0.2,scale=out_color_matrix=%2:out_range=%3")
                      .arg(colour, matrix == QStringLiteral("bt709") ? matrix : QStringLiteral("bt601"), range)) +
                H264(QStringLiteral("yuv444p")) +
                QStringList{QStringLiteral("-colorspace"), matrix, QStringLiteral("-color_range"), range}};
}

ClipRecipe PictureAfterSound(const QString& container)
{
    const bool mp4 = container == QStringLiteral("mp4");
    return {QStringLiteral("late-picture.") + container,
            Sound(3) + QStringList{QStringLiteral("-itsoffset"), QStringLiteral("0.5")} +
                Lavfi(MovingPicture(320, 240, 25, 3)) + H264() +
                QStringList{QStringLiteral("-map"), QStringLiteral("1:v"), QStringLiteral("-map"), QStringLiteral("0:a"),
                            QStringLiteral("-c:a"), mp4 ? QStringLiteral("aac") : QStringLiteral("libopus"),
                            // Otherwise copies of the first picture fill the half second before it.
                            QStringLiteral("-fps_mode"), QStringLiteral("passthrough"),
                            // Both end together.
                            QStringLiteral("-t"), QStringLiteral("3")}};
}

QString HdrSource()
{
    return QStringLiteral("testsrc2=size=320x180:rate=25:duration=0.4");
}

ClipRecipe HdrMp4(const QString& transfer)
{
    // Linear light at 100 nits to the unit, then the HDR transfer of the same light.
    const QString toHdr =
        QStringLiteral(",format=gbrp,zscale=tin=bt709:pin=bt709:min=gbr:rin=pc:t=linear:p=bt709:m=gbr:r=pc:npl=100,"
                       "format=gbrpf32le,zscale=t=%1:p=bt2020:m=bt2020nc:r=tv:npl=100,format=yuv420p10le")
            .arg(transfer);
    return {QStringLiteral("hdr-%1.mp4").arg(transfer),
            Lavfi(HdrSource() + toHdr) +
                QStringList{QStringLiteral("-c:v"), QStringLiteral("libx265"), QStringLiteral("-x265-params"),
                            QStringLiteral("log-level=error:crf=12"), QStringLiteral("-color_primaries"),
                            QStringLiteral("bt2020"), QStringLiteral("-color_trc"), transfer,
                            QStringLiteral("-colorspace"), QStringLiteral("bt2020nc")}};
}

// Every other line of two pictures 1/50 s apart: the combing of a moving edge.
QStringList Interlaced()
{
    return Lavfi(MovingPicture(720, 576, 50, 2) + QStringLiteral(",tinterlace=mode=interleave_top,setfield=tff")) +
           QStringList{QStringLiteral("-flags"), QStringLiteral("+ilme+ildct"), QStringLiteral("-top"),
                       QStringLiteral("1")};
}

ClipRecipe InterlacedMpeg2()
{
    return {QStringLiteral("interlaced.mpg"), Interlaced() + QStringList{QStringLiteral("-c:v"),
                                                                         QStringLiteral("mpeg2video"),
                                                                         QStringLiteral("-q:v"), QStringLiteral("2")}};
}

ClipRecipe InterlacedH264()
{
    return {QStringLiteral("interlaced.mp4"), Interlaced() + H264() + QStringList{QStringLiteral("-crf"),
                                                                                  QStringLiteral("12")}};
}

} // namespace clips
