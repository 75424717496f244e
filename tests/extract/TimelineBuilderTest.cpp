#include "extract/ConversionReporter.h"
#include "extract/TimelineBuilder.h"
#include "support/RecordingMessageService.h"
#include "FakeEditingServices.h"

#include <gtest/gtest.h>

namespace {

class TimelineBuilderTest : public ::testing::Test {
protected:
    TimelineBuilderTest()
    {
        clip.videoItemCount = 1;
        clip.audioItemCount = 1;
        clip.videoPath = QStringLiteral("/clips/a.mp4");
        clip.audioPath = QStringLiteral("/clips/a.mp4");
        clip.markStart = 20'000'000;
        clip.markEnd = 30'000'000;
        settings.outputWidth = 321;
        settings.outputHeight = 240;
        settings.frameRate = 25.0;
        settings.resizeMode = kResizeStretch;
    }
    std::unique_ptr<Timeline> Build() { return BuildTimeline(services, reporter, clip, settings); }

    FakeEditingServices services;
    RecordingMessageService messages;
    ConversionReporter reporter{messages, nullptr};
    ClipSource clip;
    ConversionSettings settings;
};

TEST_F(TimelineBuilderTest, APictureGroupAndASoundGroupPlayTheMarkedRange)
{
    const auto timeline = Build();
    ASSERT_TRUE(timeline);
    EXPECT_TRUE(messages.shown.isEmpty());
    const std::vector<TimelineGroupSpec> groups = timeline->Groups();
    ASSERT_EQ(groups.size(), 2u);

    const MediaType& video = groups[0].mediaType;
    EXPECT_EQ(video.majortype, MajorType::Video);
    EXPECT_EQ(video.subtype, SubType::Rgb24);
    EXPECT_EQ(video.bmiHeader.biWidth, 321);
    EXPECT_EQ(video.bmiHeader.biHeight, 240);
    EXPECT_EQ(video.bmiHeader.biSizeImage, 964u * 240u);
    EXPECT_EQ(video.lSampleSize, 964 * 240);
    EXPECT_DOUBLE_EQ(groups[0].outputFps, 25.0);
    const TimelineSourceSpec expected{0, 10'000'000, 20'000'000, 30'000'000, "/clips/a.mp4", kResizeStretch};
    ASSERT_EQ(groups[0].tracks.size(), 1u);
    EXPECT_EQ(groups[0].tracks[0].sources, std::vector<TimelineSourceSpec>{expected});

    EXPECT_EQ(groups[1].mediaType.majortype, MajorType::Audio);
    ASSERT_EQ(groups[1].tracks.size(), 1u);
    EXPECT_EQ(groups[1].tracks[0].sources[0].mediaName, "/clips/a.mp4");
    EXPECT_EQ(groups[1].tracks[0].sources[0].mediaStart, 20'000'000);
    EXPECT_EQ(static_cast<FaultyTimeline&>(*timeline).validateFlags, 11);
}

TEST_F(TimelineBuilderTest, PreserveAspectRatioReachesThePictureSource)
{
    settings.resizeMode = kResizePreserveAspectRatio;
    EXPECT_EQ(Build()->Groups()[0].tracks[0].sources[0].stretchMode, 2);
}

TEST_F(TimelineBuilderTest, TheToneMappingAndDeinterlacingChoicesReachThePictureGroup)
{
    const struct {
        bool toneMapHdr;
        int deinterlaceMode;
        VideoProcessing expected;
    } cases[] = {{false, kDeinterlaceOff, {false, Deinterlacing::Off}},
                 {true, kDeinterlaceAlways, {true, Deinterlacing::Always}}};
    for (const auto& c : cases) {
        settings.toneMapHdr = c.toneMapHdr;
        settings.deinterlaceMode = c.deinterlaceMode;
        EXPECT_EQ(Build()->Groups()[0].processing, c.expected) << c.deinterlaceMode;
    }
}

TEST_F(TimelineBuilderTest, EachFailingStepShowsItsOwnMessageAndTheOtherGroupIsStillAdded)
{
    struct Case {
        const char* step;
        const char* message;
        std::size_t groupsLeft;
    };
    const Case cases[] = {
        {"CreateEmptyNode:group#1", "Could not create empty node", 1},
        {"SetMediaType#1", "Could not pVideoGroup->SetMediaType(&mtGroup)", 1},
        {"SetOutputFPS", "Could not SetOutputFPS", 1},
        {"AddGroup#1", "Could not add video group", 1},
        {"CreateEmptyNode:track#1", "Could not create empty track", 2},
        {"VTrackInsBefore#1", "Could not insert track", 2},
        {"CreateEmptyNode:source#1", "Could not create the timeline source", 2},
        {"SetStartStop#1", "Could not configure media source", 2},
        {"SetMediaTimes#1", "Could not configure media source", 2},
        {"SetMediaName#1", "Could not configure media source", 2},
        {"SetStretchMode", "Could not configure media source", 2},
        {"SrcAdd#1", "Could not add source to track", 2},
        {"CreateEmptyNode:group#2", "Could not create pAudioGroupObj", 1},
        {"SetMediaType#2", "Could not set AudioGroupType", 1},
        {"AddGroup#2", "Could not add audio group", 1},
        {"CreateEmptyNode:track#2", "Could not create pTrack3Obj", 2},
        {"VTrackInsBefore#2", "Could not insert pTrack3Obj", 2},
        {"CreateEmptyNode:source#2", "Could not create the pSource3Obj", 2},
        {"SetMediaTimes#2", "Could not set audio start and eng time!", 2},
        {"SetMediaName#2", "Could not configure pSource3Src", 2},
        {"SrcAdd#2", "Could not add pSource3Obj to track", 2},
    };
    for (const Case& c : cases) {
        FakeEditingServices fresh;
        RecordingMessageService shown;
        const ConversionReporter freshReporter(shown, nullptr);
        fresh.faults.Fail(c.step);
        const auto timeline = BuildTimeline(fresh, freshReporter, clip, settings);
        ASSERT_TRUE(timeline) << c.step;
        EXPECT_EQ(shown.Texts(), QStringList{QString::fromLatin1(c.message)}) << c.step;
        EXPECT_EQ(shown.shown.value(0).caption, QStringLiteral("test_extract")) << c.step;
        EXPECT_EQ(timeline->Groups().size(), c.groupsLeft) << c.step;
        EXPECT_EQ(static_cast<FaultyTimeline&>(*timeline).validateFlags, 11) << c.step;
    }
}

TEST_F(TimelineBuilderTest, TheSoundSourcesStartStopIsNotCheckedItself)
{
    services.faults.Fail("SetStartStop#2");
    Build();
    // A source without times cannot join its track; only that is reported.
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Could not add pSource3Obj to track")});
}

TEST_F(TimelineBuilderTest, NoTimelineEndsTheBuild)
{
    services.faults.Fail("CreateTimeline");
    EXPECT_FALSE(Build());
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Could not create timeline")});
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));
}

} // namespace
