// Pictures look like the video: HDR, interlaced, untagged, full-range, deep
// and mirrored sources against the ffmpeg program's pictures or the source
// picture itself.
#include "RenderRig.h"

#include "platform/media/ProbeGraph.h"
#include "support/FfmpegReference.h"
#include "support/TestClips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;

MediaTime Units(double seconds)
{
    return std::llround(seconds * kSecond);
}

// The lowest PSNR of our frames against the expected ones, which must be as many.
double WorstPsnr(const std::vector<CapturedFrame>& ours, const std::vector<QByteArray>& expected, int width,
                 int height)
{
    EXPECT_EQ(ours.size(), expected.size());
    if (ours.empty() || expected.empty())
        return 0.0;
    double worst = std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k < std::min(ours.size(), expected.size()); ++k)
        worst = std::min(worst, Psnr(TopDownRgb(ours[k], width, height), expected[k]));
    return worst;
}

TEST(PictureLook, HdrSourcesAreToneMappedToTheirSdrPicture)
{
    const struct {
        const char* transfer;
        bool toneMap;
        double lowest;  // dB against the SDR picture the clip was made from
        double highest;
    } cases[] = {
        {"smpte2084", true, 15, 99},
        {"arib-std-b67", true, 15, 99},
        {"smpte2084", false, 0, 10}, // the signal as it is stored, grey and washed out
    };
    const std::vector<QByteArray> source = FfmpegSourceFrames(clips::HdrSource(), 320, 180, 10);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.transfer) + (c.toneMap ? " tone-mapped" : " as stored"));
        RenderRequest request{TestClip(clips::HdrMp4(QString::fromLatin1(c.transfer))), 0, Units(0.4), 320, 180, 25};
        request.processing.toneMapHdr = c.toneMap;
        const double worst = WorstPsnr(RenderFrames(request), source, 320, 180);
        EXPECT_GE(worst, c.lowest);
        EXPECT_LT(worst, c.highest);
    }
}

// The clips move, so a picture of another frame than the ffmpeg program's
// falls far below the bound; with deinterlacing off the pictures are the
// decoder's own.
TEST(PictureLook, InterlacedSourcesAreDeinterlacedFrameForFrame)
{
    const ReferenceFilters bwdif{QStringLiteral("bwdif=mode=send_frame:parity=auto:deint=all")};
    const struct {
        const char* name;
        ClipRecipe (*recipe)();
        int width;
        int height;
        Deinterlacing mode;
        ReferenceFilters reference;
    } cases[] = {
        {"MPEG-2", clips::InterlacedMpeg2, 720, 576, Deinterlacing::Automatic, bwdif},
        {"H.264", clips::InterlacedH264, 720, 576, Deinterlacing::Automatic, bwdif},
        {"H.264 off", clips::InterlacedH264, 720, 576, Deinterlacing::Off, {}},
        {"progressive, always", clips::H264Mp4, 320, 240, Deinterlacing::Always, bwdif},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = TestClip(c.recipe());
        RenderRequest request{path, Units(0.3), Units(0.9), c.width, c.height, 25};
        request.processing.deinterlacing = c.mode;
        const std::vector<QByteArray> expected =
            FfmpegReferenceFrames(path, 0.3, 0.9, 25, c.width, c.height, c.reference);
        EXPECT_GE(WorstPsnr(RenderFrames(request), expected, c.width, c.height), 35.0);
    }
}

// Each clip is lossless or nearly so; the expected pictures are the source's
// own pixels in the clip's format, turned to RGB by the ffmpeg program with
// the matrix and range they were made with, without encoding.
TEST(PictureLook, EverySourceIsReadWithItsOwnColours)
{
    const QStringList lossless{QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-qp"),
                               QStringLiteral("0")};
    const QStringList bt709Tags{QStringLiteral("-colorspace"), QStringLiteral("bt709"), QStringLiteral("-color_range"),
                                QStringLiteral("tv"), QStringLiteral("-color_primaries"), QStringLiteral("bt709")};
    const struct {
        const char* name;
        int width;
        int height;
        const char* made;    // the scaler's options that made the pixels
        const char* format;
        QStringList encoding;
    } cases[] = {
        // Players read an untagged picture larger than 1024x576 as BT.709.
        {"untagged-hd.mkv", 1280, 720, "out_color_matrix=bt709:out_range=tv", "yuv420p", lossless},
        {"tagged-hd.mkv", 1280, 720, "out_color_matrix=bt709:out_range=tv", "yuv420p", lossless + bt709Tags},
        {"untagged-sd.mkv", 640, 480, "out_color_matrix=bt601:out_range=tv", "yuv420p", lossless},
        {"full-range.avi", 640, 480, "out_color_matrix=bt601:out_range=pc", "yuvj420p",
         {QStringLiteral("-c:v"), QStringLiteral("mjpeg"), QStringLiteral("-q:v"), QStringLiteral("1")}},
        {"ten-bit.mkv", 640, 360, "out_color_matrix=bt709:out_range=tv", "yuv420p10le", lossless + bt709Tags},
        {"full-chroma.mkv", 640, 360, "out_color_matrix=bt601:out_range=tv", "yuv444p",
         lossless + QStringList{QStringLiteral("-colorspace"), QStringLiteral("smpte170m")}},
        {"odd-size.mkv", 321, 241, "out_color_matrix=bt601:out_range=tv", "yuv420p",
         {QStringLiteral("-c:v"), QStringLiteral("ffv1")}},
        {"odd-size-hd.mkv", 1281, 721, "out_color_matrix=bt709:out_range=tv", "yuv420p",
         {QStringLiteral("-c:v"), QStringLiteral("ffv1")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // testsrc2 draws only even sizes: the scaler makes the case's size.
        const QString source = QStringLiteral("testsrc2=size=320x240:rate=25:duration=0.2,scale=%1:%2:%3,format=%4")
                                   .arg(c.width)
                                   .arg(c.height)
                                   .arg(QString::fromLatin1(c.made), QString::fromLatin1(c.format));
        const QString read = QString::fromLatin1(c.made).replace(QStringLiteral("out_"), QStringLiteral("in_"));
        const std::vector<QByteArray> expected = FfmpegSourceFrames(
            source + QStringLiteral(",scale=%1,format=rgb24").arg(read), c.width, c.height, 5);
        const QString path = TestClip({QString::fromLatin1(c.name),
                                       QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                                   source} +
                                           c.encoding});
        // Drawn for the writers that take blue, green, red and for a JPEG's own
        // planes, but for full chroma, which such a JPEG halves either way.
        for (const PictureLayout layout : {PictureLayout::Bgr24, PictureLayout::Yuv420}) {
            if (layout == PictureLayout::Yuv420 && std::string_view(c.format) == "yuv444p")
                continue;
            RenderRequest request{path, 0, Units(0.2), c.width, c.height, 25};
            request.layout = layout;
            EXPECT_GE(WorstPsnr(RenderFrames(request), expected, c.width, c.height), 38.0)
                << (layout == PictureLayout::Yuv420 ? "YUV 4:2:0" : "BGR24");
        }
    }
}

// A display matrix with a mirror shows the picture as the ffmpeg program's
// flips and transposes of the unmirrored clip do, at the size the probe says.
TEST(PictureLook, MirroredClipsAreShownWholeAsTheirMatrixSays)
{
    const struct {
        const char* name;
        DisplayMatrix display;
        const char* filters;
        int width; // as displayed
        int height;
    } cases[] = {
        {"hflip.mp4", {-1, 0, 0, 1}, "hflip", 320, 180},
        {"vflip.mp4", {1, 0, 0, -1}, "vflip", 320, 180},
        {"transpose.mp4", {0, 1, 1, 0}, "transpose", 180, 320},
        {"antitranspose.mp4", {0, -1, -1, 0}, "transpose=clock_flip", 180, 320},
    };
    const QString plain = TestClip(clips::TurnedMp4(QStringLiteral("plain.mp4"), {}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = TestClip(clips::TurnedMp4(QString::fromLatin1(c.name), c.display));
        const std::unique_ptr<ProbeGraph> probe = FfmpegProbeFactory()();
        int width = 0;
        int height = 0;
        ASSERT_EQ(probe->RenderFile(path.toStdString()), MediaResult::Ok);
        ASSERT_EQ(probe->GetVideoSize(width, height), MediaResult::Ok);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        const std::vector<QByteArray> expected =
            FfmpegReferenceFrames(plain, 0.2, 0.6, 25, c.width, c.height, {QString::fromLatin1(c.filters)});
        EXPECT_GE(WorstPsnr(RenderFrames({path, Units(0.2), Units(0.6), c.width, c.height, 25}), expected, c.width,
                            c.height),
                  35.0);
    }
}

} // namespace
