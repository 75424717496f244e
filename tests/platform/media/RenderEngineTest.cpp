#include "RenderRig.h"

#include "platform/media/FrameSchedule.h"
#include "support/FfmpegReference.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;

struct CountCase {
    const char* name;
    MediaTime start;
    MediaTime stop;
    double fps;
    std::size_t frames;
};

class FrameCounts : public ::testing::TestWithParam<CountCase> {};

TEST_P(FrameCounts, EveryFrameBeforeTheEndOfTheRange)
{
    const CountCase& c = GetParam();
    MediaResult last = MediaResult::Fail;
    const std::vector<CapturedFrame> frames =
        RenderFrames({TestClip(clips::H264Mp4()), c.start, c.stop, 160, 120, c.fps}, &last);
    EXPECT_EQ(last, MediaResult::Ok);
    ASSERT_EQ(frames.size(), c.frames);
    for (std::size_t k = 0; k < frames.size(); ++k)
        EXPECT_NEAR(frames[k].sampleTime, k / c.fps, 1e-6) << k;
}

INSTANTIATE_TEST_SUITE_P(Ranges, FrameCounts,
                         ::testing::Values(CountCase{"OneSecondAt25", 0, kSecond, 25, 25},
                                           CountCase{"OneSecondAtFilmRate", 0, kSecond, 23.976, 24},
                                           CountCase{"LaterSecondAt30", kSecond, 2 * kSecond, 30, 30},
                                           CountCase{"HalfSecondAt10", kSecond / 2, kSecond, 10, 5},
                                           CountCase{"StopsAtTheClipsEnd", 2 * kSecond, 3 * kSecond + kSecond / 10, 25, 25}),
                         [](const ::testing::TestParamInfo<CountCase>& param) { return std::string(param.param.name); });

// Small clips, one per container, each at a rate of its own; every pixel
// moves from frame to frame.
ClipRecipe SmallClip(const char* fileName, double rate, double seconds, QStringList options, int width = 64,
                     int height = 48)
{
    return {QString::fromLatin1(fileName), QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"),
                                                       QStringLiteral("-i"), MovingPicture(width, height, rate, seconds)} +
                                               options};
}

QStringList Codec(const char* codec, QStringList more = {})
{
    return QStringList{QStringLiteral("-c:v"), QString::fromLatin1(codec)} + more;
}

const QStringList kVpxSteady{QStringLiteral("-b:v"), QStringLiteral("1M"), QStringLiteral("-deadline"),
                             QStringLiteral("good"), QStringLiteral("-cpu-used"), QStringLiteral("5"),
                             QStringLiteral("-threads"), QStringLiteral("1")};

ClipRecipe Mkv30() { return SmallClip("30.mkv", 30, 2, Codec("libx264")); }
ClipRecipe Mkv23() { return SmallClip("23976.mkv", 24000.0 / 1001, 3, Codec("libx264")); }
ClipRecipe Vp8Webm2997() { return SmallClip("2997.webm", 30000.0 / 1001, 2, Codec("libvpx", kVpxSteady)); }
ClipRecipe Vp9Webm60() { return SmallClip("60.webm", 60, 1, Codec("libvpx-vp9", kVpxSteady)); }
ClipRecipe Flv25() { return SmallClip("25.flv", 25, 2, Codec("flv", {QStringLiteral("-q:v"), QStringLiteral("2")})); }
ClipRecipe Ts50() { return SmallClip("50.ts", 50, 1, Codec("libx264")); }
ClipRecipe Mov5994() { return SmallClip("5994.mov", 60000.0 / 1001, 1, Codec("libx264"), 160, 90); }
ClipRecipe Ogg30() { return SmallClip("30.ogv", 30, 2, Codec("libtheora", {QStringLiteral("-q:v"), QStringLiteral("8")})); }

// Narrow enough that a row is shorter than the scaler's widest writes.
ClipRecipe NarrowWmv()
{
    return {QStringLiteral("narrow.wmv"), QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                                      QStringLiteral("testsrc2=size=84x33:rate=25:duration=1")} +
                                              Codec("msmpeg4")};
}

// 1.2 s of picture and 3.9 s of sound, as when a recording's picture stops first.
ClipRecipe SoundOutlastsPicture()
{
    return {QStringLiteral("short-picture.mkv"),
            QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), MovingPicture(64, 48, 25, 1.2),
                        QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                        QStringLiteral("sine=frequency=440:sample_rate=44100:duration=3.9")} +
                Codec("libx264")};
}

ClipRecipe PictureAfterSoundMp4() { return clips::PictureAfterSound(QStringLiteral("mp4")); }
ClipRecipe PictureAfterSoundMkv() { return clips::PictureAfterSound(QStringLiteral("mkv")); }

// The ffmpeg program shifts a clip by a whole number of its time-base units
// and its trim rounds the end to the nearest frame, so starts between frames
// are taken on clips with fine time bases, and every range holds a whole
// number of frames or ends past the middle of its last one.
struct AccuracyCase {
    const char* name;
    ClipRecipe (*recipe)();
    double start; // seconds
    double stop;
    double fps;
    int width;
    int height;
};

class FrameAccuracy : public ::testing::TestWithParam<AccuracyCase> {};

MediaTime Units(double seconds)
{
    return std::llround(seconds * kSecond);
}

// Output frame k shows the picture the ffmpeg program's fps filter takes for
// that slot, and there are as many pictures as it makes.
TEST_P(FrameAccuracy, MatchesTheFfmpegProgramsPictures)
{
    const AccuracyCase& c = GetParam();
    const QString path = TestClip(c.recipe());
    const std::vector<QByteArray> expected = FfmpegReferenceFrames(path, c.start, c.stop, c.fps, c.width, c.height);
    ASSERT_FALSE(expected.empty());
    MediaResult last = MediaResult::Fail;
    const std::vector<CapturedFrame> frames =
        RenderFrames({path, Units(c.start), Units(c.stop), c.width, c.height, c.fps}, &last);
    EXPECT_EQ(last, MediaResult::Ok) << "result 0x" << std::hex << ResultCode(last);
    EXPECT_EQ(frames.size(), expected.size());
    int wrong = 0;
    for (std::size_t k = 0; k < std::min(frames.size(), expected.size()); ++k) {
        const double psnr = Psnr(TopDownRgb(frames[k], c.width, c.height), expected[k]);
        wrong += psnr < 35.0;
        EXPECT_GE(psnr, 35.0) << "frame " << k;
    }
    EXPECT_EQ(wrong, 0) << "of " << frames.size();
}

INSTANTIATE_TEST_SUITE_P(
    Clips, FrameAccuracy,
    ::testing::Values(
        AccuracyCase{"Mkv30OwnRate", Mkv30, 0, 2, 30, 64, 48},
        AccuracyCase{"Mkv30Between25", Mkv30, 0.31, 1.5, 25, 64, 48},
        AccuracyCase{"Mkv23976OwnRate", Mkv23, 1, 3, 23.976, 64, 48},
        AccuracyCase{"Mkv23976At50", Mkv23, 0.5, 1.5, 50, 64, 48},
        AccuracyCase{"Vp8Webm2997OwnRate", Vp8Webm2997, 0, 2, 29.97, 64, 48},
        AccuracyCase{"Vp8Webm2997Between24", Vp8Webm2997, 0.27, 1.6, 24, 64, 48},
        AccuracyCase{"Vp9Webm60OwnRate", Vp9Webm60, 0.25, 1, 60, 64, 48},
        AccuracyCase{"Vp9Webm60At25", Vp9Webm60, 0, 1, 25, 64, 48},
        AccuracyCase{"Flv25OwnRate", Flv25, 0.4, 2, 25, 64, 48},
        AccuracyCase{"Flv25Between29_97", Flv25, 0.13, 1.35, 29.97, 64, 48},
        AccuracyCase{"Ts50OwnRate", Ts50, 0, 1, 50, 64, 48},
        AccuracyCase{"Ts50At23_976", Ts50, 0.21, 1, 23.976, 64, 48},
        AccuracyCase{"Mov59_94OwnRate", Mov5994, 0.1, 1, 59.94, 160, 90},
        AccuracyCase{"Mov59_94At60", Mov5994, 0, 1, 60, 160, 90},
        AccuracyCase{"AviOwnRate", clips::Mpeg4Avi, 1, 2, 25, 64, 48},
        AccuracyCase{"AviAt30", clips::Mpeg4Avi, 0.4, 1.2, 30, 64, 48},
        AccuracyCase{"OggTheora30OwnRate", Ogg30, 0, 2, 30, 64, 48},
        AccuracyCase{"OggTheora30At25", Ogg30, 0.5, 1.5, 25, 64, 48},
        AccuracyCase{"MpegPsStartingLateOwnRate", clips::Mpeg2Mpg, 0.5, 1.5, 25, 176, 144},
        AccuracyCase{"MpegPsStartingLateBetween30", clips::Mpeg2Mpg, 0.29, 1.12, 30, 176, 144},
        AccuracyCase{"PictureAfterSoundMp4", PictureAfterSoundMp4, 0, 2, 25, 64, 48},
        AccuracyCase{"PictureAfterSoundMkv", PictureAfterSoundMkv, 0, 2, 25, 64, 48},
        AccuracyCase{"PictureAfterSoundMkvBetween30", PictureAfterSoundMkv, 0.2, 1.5, 30, 64, 48},
        AccuracyCase{"VariableRateAt25", clips::VariableRateMkv, 0.5, 2.5, 25, 64, 48},
        AccuracyCase{"VariableRateAt30", clips::VariableRateMkv, 0.73, 2.95, 30, 64, 48},
        AccuracyCase{"Mp4AfterASeek", clips::H264Mp4, 1.7, 2.5, 25, 64, 48},
        AccuracyCase{"OddSize", clips::OddSizeMkv, 0.2, 1, 25, 321, 241},
        AccuracyCase{"Rotated", clips::RotatedMp4, 0.5, 1, 25, 180, 320},
        AccuracyCase{"AnimatedGif", clips::AnimatedGif, 0.5, 1.5, 10, 160, 120},
        AccuracyCase{"Bt709FullRange", clips::Bt709FullRangeMp4, 0, 0.2, 25, 320, 240},
        AccuracyCase{"NarrowWmv", NarrowWmv, 0, 1, 25, 84, 33},
        AccuracyCase{"SoundOutlastsPicture", SoundOutlastsPicture, 0, 3.9, 25, 64, 48}),
    [](const ::testing::TestParamInfo<AccuracyCase>& param) { return std::string(param.param.name); });

// Rows of a bottom-up frame, counted from the top of the picture.
const std::uint8_t* Row(const CapturedFrame& frame, int width, int height, int y)
{
    return frame.bytes.data() + std::size_t(height - 1 - y) * BottomUpStride(width);
}

bool IsBlack(const std::uint8_t* pixels, int count)
{
    return std::all_of(pixels, pixels + count * 3, [](std::uint8_t byte) { return byte == 0; });
}

// In blue, green, red and in a JPEG's planes alike.
TEST(FrameGeometry, PreservedAspectLeavesBlackBandsAboveAndBelow)
{
    for (const PictureLayout layout : {PictureLayout::Bgr24, PictureLayout::Yuv420}) {
        RenderRequest request{TestClip(clips::Wide169Mp4()), 0, kSecond / 5, 640, 480, 25, true};
        request.layout = layout;
        const std::vector<CapturedFrame> frames = RenderFrames(request);
        ASSERT_EQ(frames.size(), 5u);
        int blackRows = 0;
        for (int y = 0; y < 480; ++y)
            blackRows += IsBlack(Row(frames[0], 640, 480, y), 640);
        EXPECT_EQ(blackRows, 120);
        for (int y : {0, 59, 420, 479})
            EXPECT_TRUE(IsBlack(Row(frames[0], 640, 480, y), 640)) << y;
        for (int y : {60, 240, 419}) {
            const std::uint8_t* pixel = Row(frames[0], 640, 480, y) + 320 * 3;
            // The clip's colour 0x3080C0 arrives as blue, green, red.
            EXPECT_NEAR(pixel[0], 0xC0, 4) << y;
            EXPECT_NEAR(pixel[1], 0x80, 4) << y;
            EXPECT_NEAR(pixel[2], 0x30, 4) << y;
        }
    }
}

TEST(FrameGeometry, StretchingFillsTheWholeFrameAndPadsRows)
{
    const std::vector<CapturedFrame> frames =
        RenderFrames({TestClip(clips::Wide169Mp4()), 0, kSecond / 5, 321, 241, 25, false});
    ASSERT_FALSE(frames.empty());
    ASSERT_EQ(frames[0].bytes.size(), 964u * 241);
    for (int y : {0, 120, 240})
        for (int x : {0, 160, 320}) {
            const std::uint8_t* pixel = Row(frames[0], 321, 241, y) + x * 3;
            EXPECT_NEAR(pixel[0], 0xC0, 4) << x << "," << y;
            EXPECT_NEAR(pixel[2], 0x30, 4) << x << "," << y;
        }
}

TEST(FrameGeometry, TurnedClipIsPillarboxedUpright)
{
    // Upright the clip is 180 wide and 320 high.
    const std::vector<CapturedFrame> frames =
        RenderFrames({TestClip(clips::RotatedMp4()), 0, kSecond / 25, 640, 480, 25, true});
    ASSERT_EQ(frames.size(), 1u);
    const std::uint8_t* middle = Row(frames[0], 640, 480, 240);
    EXPECT_TRUE(IsBlack(middle, 185));
    EXPECT_TRUE(IsBlack(middle + (185 + 270) * 3, 185));
    EXPECT_FALSE(IsBlack(middle + 185 * 3, 270));
}

TEST(FrameColours, FollowTheStreamsOwnMatrixAndRange)
{
    const struct {
        const char* colour;
        const char* matrix;
        const char* range;
        int blue, green, red;
    } cases[] = {{"FF0000", "bt709", "pc", 0, 0, 255},     {"FF0000", "bt709", "tv", 0, 0, 255},
                 {"FF0000", "bt470bg", "tv", 0, 0, 255},   {"00C040", "bt709", "pc", 0x40, 0xC0, 0},
                 {"00C040", "bt470bg", "pc", 0x40, 0xC0, 0}, {"2040E0", "bt709", "tv", 0xE0, 0x40, 0x20}};
    for (const auto& c : cases) {
        const std::vector<CapturedFrame> frames = RenderFrames(
            {TestClip(clips::ColourMp4(c.colour, c.matrix, c.range)), 0, kSecond / 25, 64, 48, 25});
        ASSERT_EQ(frames.size(), 1u);
        const std::uint8_t* pixel = Row(frames[0], 64, 48, 24) + 32 * 3;
        const std::string name = std::string(c.colour) + " " + c.matrix + " " + c.range;
        EXPECT_NEAR(pixel[0], c.blue, 4) << name;
        EXPECT_NEAR(pixel[1], c.green, 4) << name;
        EXPECT_NEAR(pixel[2], c.red, 4) << name;
    }
}

TEST(FrameExtractor, RefusesPlansThatCannotBeDrawn)
{
    const QString clip = TestClip(clips::H264Mp4());
    const RenderRequest refused[] = {
        {{}, 0, kSecond, 160, 120, 25},    {clip, kSecond, kSecond, 160, 120, 25}, {clip, -1, kSecond, 160, 120, 25},
        {clip, 0, kSecond, 0, 120, 25},    {clip, 0, kSecond, 160, -2, 25},        {clip, 0, kSecond, 160, 120, 0},
        {clip, 0, kSecond, 160, 120, NAN},
    };
    for (const RenderRequest& request : refused) {
        RenderRig rig;
        EXPECT_EQ(rig.Build(request), MediaResult::InvalidArg) << request.mediaStart << " " << request.width;
        EXPECT_FALSE(rig.extractor.IsOpen());
    }
}

TEST(FrameExtractor, AFileWithoutPictureDoesNotOpen)
{
    RenderRig rig;
    EXPECT_EQ(rig.Build({TestClip(clips::AudioOnlyM4a()), 0, kSecond, 160, 120, 25}), MediaResult::NoInterface);
}

TEST(Streaming, StopEndsAConversionBeforeItsEndAndDeliversNothingAfter)
{
    RenderRig rig;
    // A sink that takes 20 ms a frame needs 1.5 s for all 75: a stop that
    // waited for the stream to end would find them all.
    rig.recorder.delay = std::chrono::milliseconds(20);
    ASSERT_EQ(rig.Build({TestClip(clips::H264Mp4()), 0, 3 * kSecond, 320, 240, 25}), MediaResult::Ok);
    rig.Run();
    while (rig.recorder.Count() < 3)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    rig.Stop();
    const std::size_t delivered = rig.recorder.Count();
    EXPECT_LT(delivered, 75u);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(rig.recorder.Count(), delivered);
    MediaResult ended = MediaResult::Ok;
    EXPECT_FALSE(rig.WaitForEnd(ended, std::chrono::milliseconds(50))); // a stop is not an end
}

TEST(Streaming, RunAgainAfterStopStartsFromTheFirstFrame)
{
    RenderRig rig;
    ASSERT_EQ(rig.Build({TestClip(clips::H264Mp4()), kSecond, kSecond + kSecond / 5, 160, 120, 25}),
              MediaResult::Ok);
    MediaResult ended = MediaResult::Fail;
    for (int run = 1; run <= 2; ++run) {
        rig.Run();
        ASSERT_TRUE(rig.WaitForEnd(ended));
        EXPECT_EQ(ended, MediaResult::Ok);
        rig.Stop();
        EXPECT_EQ(rig.recorder.Count(), 5u * run);
    }
    const std::vector<CapturedFrame> frames = rig.recorder.Frames();
    EXPECT_EQ(frames[0].bytes, frames[5].bytes);
}

TEST(Streaming, FramesTheCallbackDeclinesAreSkippedWithoutChangingTheOthers)
{
    const RenderRequest request{TestClip(clips::H264Mp4()), kSecond / 2, kSecond + kSecond / 2, 160, 120, 25};
    const std::vector<CapturedFrame> all = RenderFrames(request);
    RenderRig rig;
    rig.recorder.keepEvery = 10;
    ASSERT_EQ(rig.Build(request), MediaResult::Ok);
    rig.Run();
    MediaResult ended = MediaResult::Fail;
    ASSERT_TRUE(rig.WaitForEnd(ended));
    EXPECT_EQ(ended, MediaResult::Ok);
    const std::vector<CapturedFrame> kept = rig.recorder.Frames();
    ASSERT_EQ(all.size(), 25u);
    ASSERT_EQ(kept.size(), 3u);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].sampleTime, all[i * 10].sampleTime);
        EXPECT_TRUE(kept[i].bytes == all[i * 10].bytes) << "frame " << i * 10;
    }
}

QString DamagedCopy(const QString& source, const QString& name, qsizetype keep, bool scribble)
{
    QByteArray bytes = ReadFile(source);
    if (scribble)
        for (qsizetype i = bytes.size() / 3; i < bytes.size() / 3 + 2000; i += 7)
            bytes[i] = char(0xA5);
    const QString path = QDir::temp().filePath(name);
    WriteFile(path, bytes.left(keep < 0 ? bytes.size() : keep));
    return path;
}

TEST(Streaming, DamagedPacketsAreSkipped)
{
    const QString path = DamagedCopy(TestClip(clips::Mpeg2Mpg()), QStringLiteral("scribbled.mpg"), -1, true);
    MediaResult last = MediaResult::Fail;
    const std::vector<CapturedFrame> frames = RenderFrames({path, 0, 2 * kSecond, 176, 144, 25}, &last);
    EXPECT_EQ(last, MediaResult::Ok);
    EXPECT_EQ(frames.size(), 50u);
}

TEST(Streaming, ATruncatedFileEndsWithAnError)
{
    const QString source = TestClip(clips::H264Mkv());
    const QString path = DamagedCopy(source, QStringLiteral("cut.mkv"), ReadFile(source).size() / 3, false);
    MediaResult last = MediaResult::Ok;
    const std::vector<CapturedFrame> frames = RenderFrames({path, 0, 2 * kSecond, 160, 120, 24}, &last);
    EXPECT_EQ(last, MediaResult::EndOfData);
    EXPECT_GT(frames.size(), 0u);
    EXPECT_LT(frames.size(), 48u);
}

} // namespace
