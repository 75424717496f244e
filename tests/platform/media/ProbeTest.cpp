#include "platform/media/FfmpegProbeGraph.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct ProbeCase {
    const char* name;
    ClipRecipe (*recipe)();
    double seconds;     // length of the clip
    int width;
    int height;
    double framesPerSecond;
};

class ProbeClips : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeClips, MeasuresLengthSizeAndRate)
{
    const ProbeCase& c = GetParam();
    const QString path = TestClip(c.recipe());
    ASSERT_FALSE(path.isEmpty());
    FfmpegProbeGraph probe;
    ASSERT_EQ(probe.RenderFile(path.toStdString()), MediaResult::Ok);
    MediaTime stop = 0, duration = 0;
    ASSERT_EQ(probe.GetStopPosition(stop), MediaResult::Ok);
    ASSERT_EQ(probe.GetDuration(duration), MediaResult::Ok);
    EXPECT_EQ(stop, duration);
    // Containers round their lengths to their own clocks and sound frames.
    EXPECT_NEAR(double(stop) / kMediaUnitsPerSecond, c.seconds, 0.1);
    int width = 0, height = 0;
    ASSERT_EQ(probe.GetVideoSize(width, height), MediaResult::Ok);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
    double secondsPerFrame = 0;
    ASSERT_EQ(probe.GetAvgTimePerFrame(secondsPerFrame), MediaResult::Ok);
    EXPECT_NEAR(1.0 / secondsPerFrame, c.framesPerSecond, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Containers, ProbeClips,
    ::testing::Values(ProbeCase{"Mp4H264", clips::H264Mp4, 3, 320, 240, 25},
                      ProbeCase{"AviMpeg4", clips::Mpeg4Avi, 2, 320, 240, 25},
                      ProbeCase{"MpgMpeg2StartingLate", clips::Mpeg2Mpg, 2, 352, 288, 25},
                      ProbeCase{"Wmv", clips::Wmv, 2, 320, 240, 25},
                      ProbeCase{"WebmVp8", clips::Vp8Webm, 2, 320, 240, 30},
                      ProbeCase{"MkvNtscFilm", clips::H264Mkv, 2, 320, 240, 24000.0 / 1001},
                      ProbeCase{"AnimatedGif", clips::AnimatedGif, 2, 160, 120, 10},
                      ProbeCase{"RotatedToPortrait", clips::RotatedMp4, 2, 180, 320, 25},
                      ProbeCase{"TenPointNineSeconds", clips::LongerMp4, 10.9, 160, 120, 10},
                      ProbeCase{"OddSize", clips::OddSizeMkv, 2, 321, 241, 25}),
    [](const ::testing::TestParamInfo<ProbeCase>& param) { return std::string(param.param.name); });

TEST(Probe, LengthOfALateStartingStreamCountsFromItsFirstTimestamp)
{
    // A program stream whose clock begins at 1.4 s is still 2 s long.
    FfmpegProbeGraph probe;
    ASSERT_EQ(probe.RenderFile(TestClip(clips::Mpeg2Mpg()).toStdString()), MediaResult::Ok);
    MediaTime stop = 0;
    ASSERT_EQ(probe.GetStopPosition(stop), MediaResult::Ok);
    EXPECT_LT(stop, 25 * kMediaUnitsPerSecond / 10);
}

TEST(Probe, SoundWithoutPictureFailsAtTheFrameSize)
{
    FfmpegProbeGraph probe;
    ASSERT_EQ(probe.RenderFile(TestClip(clips::AudioOnlyM4a()).toStdString()), MediaResult::Ok);
    MediaTime stop = 0;
    EXPECT_EQ(probe.GetStopPosition(stop), MediaResult::Ok);
    int width = -1, height = -1;
    EXPECT_EQ(probe.GetVideoSize(width, height), MediaResult::NoInterface);
    double seconds = 0;
    EXPECT_TRUE(Failed(probe.GetAvgTimePerFrame(seconds)));
}

TEST(Probe, FilesThatAreNotMediaDoNotRender)
{
    const QString folder = QDir::temp().filePath(QStringLiteral("probe-bad"));
    WriteFile(folder + QStringLiteral("/empty.avi"), {});
    WriteFile(folder + QStringLiteral("/text.avi"), QByteArray("This is a text file, not a video.\n").repeated(40));
    const struct {
        QString path;
        MediaResult expected;
    } cases[] = {{folder + QStringLiteral("/empty.avi"), MediaResult::CannotRender},
                 {folder + QStringLiteral("/text.avi"), MediaResult::CannotRender},
                 {folder + QStringLiteral("/missing.avi"), MediaResult::FileNotFound}};
    for (const auto& c : cases) {
        FfmpegProbeGraph probe;
        EXPECT_EQ(probe.RenderFile(c.path.toStdString()), c.expected) << c.path.toStdString();
        MediaTime stop = 0;
        EXPECT_EQ(probe.GetStopPosition(stop), MediaResult::WrongState);
    }
}

} // namespace
