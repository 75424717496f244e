#include "media/PlaybackDisplay.h"
#include "media/PreviewGeometry.h"

#include <gtest/gtest.h>

namespace {

constexpr MediaTime Seconds(double seconds)
{
    return static_cast<MediaTime>(seconds * kMediaUnitsPerSecond);
}

TEST(PlaybackDisplayTest, ClockTimesCountWholeSecondsAndDoNotWrapHours)
{
    const struct {
        MediaTime time;
        const char* text;
    } cases[] = {
        {0, "00:00:00"},
        {Seconds(10.9), "00:00:10"},
        {kMediaUnitsPerSecond - 1, "00:00:00"},
        {Seconds(59), "00:00:59"},
        {Seconds(3599.99), "00:59:59"},
        {Seconds(3661), "01:01:01"},
        {Seconds(25 * 3600), "25:00:00"},
        {Seconds(100 * 3600 + 5), "100:00:05"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatClockTime(c.time), QString::fromLatin1(c.text)) << c.time;
}

TEST(PlaybackDisplayTest, ThePositionBoxShowsPositionAndLength)
{
    EXPECT_EQ(FormatPositionText(0, Seconds(10)), QStringLiteral("00:00:00 / 00:00:10"));
    EXPECT_EQ(FormatPositionText(Seconds(62.5), Seconds(7322)), QStringLiteral("00:01:02 / 02:02:02"));
}

TEST(PlaybackDisplayTest, TheSeekBarEndsReachTheStartAndTheStopPosition)
{
    const MediaTime lengths[] = {1, 7, Seconds(10), Seconds(10.9) + 3, 123456789, Seconds(30 * 3600) + 1};
    for (const MediaTime length : lengths) {
        EXPECT_EQ(SeekTarget(length, 0), 0) << length;
        EXPECT_EQ(SeekTarget(length, kSeekBarRange), length) << length;
    }
}

TEST(PlaybackDisplayTest, SeekTargetsAreTruncatedSixHundredths)
{
    EXPECT_EQ(SeekTarget(Seconds(60), 300), Seconds(30));
    EXPECT_EQ(SeekTarget(Seconds(60), 1), Seconds(0.1));
    EXPECT_EQ(SeekTarget(1000, 1), 1);   // 1.666... truncated
    EXPECT_EQ(SeekTarget(1000, 599), 998); // 998.33...
}

TEST(PlaybackDisplayTest, TheBarPositionFollowsTheClipAndStaysOnTheBar)
{
    EXPECT_EQ(SeekBarPosition(0, 0), 0);
    EXPECT_EQ(SeekBarPosition(Seconds(5), 0), 0);
    EXPECT_EQ(SeekBarPosition(Seconds(5), Seconds(10)), 300);
    EXPECT_EQ(SeekBarPosition(Seconds(9.999), Seconds(10)), 599);
    EXPECT_EQ(SeekBarPosition(Seconds(10), Seconds(10)), 600);
    EXPECT_EQ(SeekBarPosition(Seconds(11), Seconds(10)), 600);
    EXPECT_EQ(SeekBarPosition(-5, Seconds(10)), 0);
}

TEST(PreviewGeometryTest, FullScreenPlacementKeepsTheAspectOrMagnifiesTenTimes)
{
    const struct {
        QSize screen;
        QSize video;
        QRect expected;
    } cases[] = {
        {{1920, 1080}, {320, 240}, {240, 0, 1440, 1080}},   // both larger, height decides
        {{1920, 1080}, {100, 80}, {460, 140, 1000, 800}},   // a tenth of the screen: centred
        {{1920, 1080}, {192, 108}, {0, 0, 1920, 1080}},     // exactly ten times fits
        {{1920, 1080}, {1920, 1080}, {0, 0, 1920, 1080}},
        {{1920, 1080}, {500, 120}, {0, 310, 1920, 460}},    // both larger, width decides
        {{1920, 1080}, {300, 50}, {0, 380, 1920, 320}},     // wider than the screen only
        {{1920, 1080}, {150, 200}, {555, 0, 810, 1080}},    // higher than the screen only
        {{1920, 1080}, {1, 1}, {955, 535, 10, 10}},
        {{1920, 1080}, {0, 0}, {0, 0, 1920, 1080}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FullScreenVideoRect(c.screen, c.video), c.expected) << c.video.width() << "x" << c.video.height();
}

TEST(PreviewGeometryTest, TheFirstRectangleSitsAboveTheMainWindow)
{
    const QRect workArea(0, 0, 1920, 1040);
    EXPECT_EQ(InitialPreviewRect(workArea, QRect(600, 605, 700, 400)), QRect(100, 5, 700, 600));
    // Four thirds of the height 599, truncated: 798.
    EXPECT_EQ(InitialPreviewRect(QRect(10, 20, 800, 600), QRect(0, 624, 10, 10)), QRect(110, 25, 698, 599));
}

TEST(PreviewGeometryTest, NormalSizeScalesInIntegers)
{
    EXPECT_EQ(ScaledVideoSize(QSize(320, 240), 1, 1), QSize(320, 240));
    EXPECT_EQ(ScaledVideoSize(QSize(321, 241), 1, 2), QSize(160, 120));
    EXPECT_EQ(ScaledVideoSize(QSize(320, 240), 2, 1), QSize(640, 480));
    EXPECT_EQ(ScaledVideoSize(QSize(320, 240), 1, 0), QSize(320, 240));
}

TEST(PreviewGeometryTest, APictureLargerThanTheWorkAreaIsShrunkKeepingItsShape)
{
    const QMargins frame(1, 20, 1, 5);
    const QRect screen(0, 0, 1280, 960);
    EXPECT_EQ(FitInWorkArea(QRect(100, 20, 9, 9), QSize(320, 240), screen, frame), QRect(100, 20, 320, 240));
    // 1022 x 743 is left inside the frame: the square takes the height.
    EXPECT_EQ(FitInWorkArea(QRect(100, 20, 9, 9), QSize(4096, 4096), QRect(0, 0, 1024, 768), frame),
              QRect(100, 20, 743, 743));
    // Room of 1278 x 935: the width decides, and the window moves left to keep inside.
    EXPECT_EQ(FitInWorkArea(QRect(100, 20, 9, 9), QSize(1920, 1080), screen, frame), QRect(1, 20, 1278, 718));
    // A title bar above the work area comes down into it.
    EXPECT_EQ(FitInWorkArea(QRect(100, 5, 9, 9), QSize(320, 240), QRect(0, 30, 1280, 930), frame),
              QRect(100, 50, 320, 240));
}

TEST(PlaybackDisplayTest, AMarkTooltipTellsMillisecondsAndTheNearestFrame)
{
    EXPECT_EQ(MarkTooltip(Seconds(3723.4567), 25.0), QStringLiteral("01:02:03.456, frame 93086"));
    // Frame 1 at 29.97 frames a second starts at 33.3667 ms.
    EXPECT_EQ(MarkTooltip(333667, 30000.0 / 1001.0), QStringLiteral("00:00:00.033, frame 1"));
    EXPECT_EQ(MarkTooltip(0, 0.0), QStringLiteral("00:00:00.000"));
}

TEST(PreviewGeometryTest, TheCursorIdlesMoreThanAHundredSecondsAcrossAClockWrap)
{
    EXPECT_FALSE(CursorIdleExpired(100000, 0));
    EXPECT_TRUE(CursorIdleExpired(100001, 0));
    EXPECT_FALSE(CursorIdleExpired(0xFFFFFFF0u + 99999u, 0xFFFFFFF0u)); // wrapped, 99.999 s
    EXPECT_TRUE(CursorIdleExpired(200000u, 0xFFFFFFF0u));
}

} // namespace
