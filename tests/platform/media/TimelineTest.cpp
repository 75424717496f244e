#include "platform/media/PictureChain.h"
#include "platform/media/FrameSchedule.h"
#include "platform/media/MediaType.h"
#include "platform/media/Timeline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;

TEST(MediaType, VideoGroupTypeDescribesPaddedBottomUpRows)
{
    const struct {
        int width;
        int height;
        std::int32_t stride;
    } cases[] = {{321, 241, 964}, {320, 240, 960}, {1, 1, 4}, {1920, 1080, 5760}, {2, 3, 8}};
    for (const auto& c : cases) {
        const MediaType type = Rgb24VideoType(c.width, c.height);
        EXPECT_EQ(Rgb24Stride(c.width), c.stride) << c.width;
        EXPECT_EQ(type.bmiHeader.biSizeImage, std::uint32_t(c.stride) * c.height) << c.width;
        EXPECT_EQ(type.lSampleSize, type.bmiHeader.biSizeImage);
        EXPECT_EQ(type.bmiHeader.biWidth, c.width);
        EXPECT_EQ(type.bmiHeader.biHeight, c.height);
        EXPECT_EQ(type.bmiHeader.biBitCount, 24);
        EXPECT_EQ(type.bmiHeader.biSize, 40u);
    }
}

TEST(FrameSchedule, FramesLieBeforeTheEnd)
{
    const struct {
        MediaTime end;
        double rate;
        std::int64_t frames;
    } cases[] = {{kSecond, 25, 25},          {kSecond, 23.976, 24},        {kSecond, 29.97, 30},
                 {kSecond, 30000.0 / 1001, 30}, {10 * kSecond, 24, 240},   {kSecond / 2, 25, 13},
                 {1, 25, 1},                   {0, 25, 0},                 {kSecond + 1, 25, 26},
                 {kSecond, 1, 1},              {3 * kSecond, 0.5, 2}};
    for (const auto& c : cases) {
        const std::int64_t count = OutputFrameCount(c.end, c.rate);
        EXPECT_EQ(count, c.frames) << c.end << " at " << c.rate;
        if (count > 0) {
            EXPECT_LT(OutputFrameTime(count - 1, c.rate), c.end);
        }
        EXPECT_GE(OutputFrameTime(count, c.rate), c.end);
    }
}

TEST(FrameSchedule, SourceTimesFollowTheMediaRange)
{
    TimelineTrackSpec track;
    track.sources.push_back({0, 2 * kSecond, 5 * kSecond, 7 * kSecond, "a", 0});
    track.sources.push_back({3 * kSecond, 4 * kSecond, 0, 2 * kSecond, "b", 0}); // played twice as fast
    const struct {
        MediaTime t;
        std::optional<std::size_t> source;
        MediaTime mediaTime;
    } cases[] = {{0, 0, 5 * kSecond},         {kSecond, 0, 6 * kSecond},    {2 * kSecond - 1, 0, 7 * kSecond - 1},
                 {2 * kSecond, std::nullopt, 0}, {3 * kSecond, 1, 0},       {3 * kSecond + kSecond / 2, 1, kSecond},
                 {4 * kSecond, std::nullopt, 0}};
    for (const auto& c : cases) {
        const std::optional<SourcePosition> position = SourceAt(track, c.t);
        ASSERT_EQ(position.has_value(), c.source.has_value()) << c.t;
        if (position) {
            EXPECT_EQ(position->source, *c.source) << c.t;
            EXPECT_EQ(position->mediaTime, c.mediaTime) << c.t;
        }
    }
    EXPECT_EQ(TrackEnd(track), 4 * kSecond);
}

TEST(FitPicture, PreservingAspectCentresOnBlack)
{
    const struct {
        int width;
        int height;
        AVRational sar;
        int rotation;
        int frameWidth;
        int frameHeight;
        int mode;
        PictureRect rect;
    } cases[] = {
        {1920, 1080, {1, 1}, 0, 640, 480, RESIZEF_PRESERVEASPECTRATIO, {0, 60, 640, 360}},
        {1920, 1080, {1, 1}, 0, 640, 480, RESIZEF_STRETCH, {0, 0, 640, 480}},
        {640, 480, {1, 1}, 0, 1280, 720, RESIZEF_PRESERVEASPECTRATIO, {160, 0, 960, 720}},
        {720, 576, {64, 45}, 0, 640, 480, RESIZEF_PRESERVEASPECTRATIO, {0, 60, 640, 360}}, // 16:9 by its pixels
        {320, 180, {1, 1}, 90, 640, 480, RESIZEF_PRESERVEASPECTRATIO, {185, 0, 270, 480}},  // turned to portrait
        {320, 180, {1, 1}, 180, 640, 480, RESIZEF_PRESERVEASPECTRATIO, {0, 60, 640, 360}},
        {320, 240, {1, 1}, 0, 320, 240, RESIZEF_PRESERVEASPECTRATIO, {0, 0, 320, 240}},
        {8192, 10, {1, 1}, 0, 64, 48, RESIZEF_PRESERVEASPECTRATIO, {0, 23, 64, 1}}, // never thinner than a row
    };
    for (const auto& c : cases) {
        const double aspect = DisplayAspect(c.width, c.height, c.sar, c.rotation);
        EXPECT_EQ(FitPicture(aspect, c.frameWidth, c.frameHeight, c.mode), c.rect)
            << c.width << "x" << c.height << " turned " << c.rotation;
    }
}

// A 16x16 picture of one saturated colour in limited-range YUV 4:2:0,
// labelled with colour matrix number matrix, drawn into a BGR24 frame.
std::vector<std::uint8_t> DrawLabelled(int matrix)
{
    const FrameHandle picture(av_frame_alloc());
    picture->width = 16;
    picture->height = 16;
    picture->format = AV_PIX_FMT_YUV420P;
    EXPECT_EQ(av_frame_get_buffer(picture.get(), 0), 0);
    const int planeValues[] = {81, 90, 240};
    for (int plane = 0; plane < 3; ++plane) {
        const int rows = plane == 0 ? 16 : 8;
        std::memset(picture->data[plane], planeValues[plane], static_cast<std::size_t>(picture->linesize[plane]) * rows);
    }
    // Stored the way a C decoder stores it, whether or not the number names a matrix.
    std::memcpy(&picture->colorspace, &matrix, sizeof matrix);
    PictureChain chain;
    DrawnPicture drawn;
    EXPECT_EQ(chain.Draw(*picture, {}, RESIZEF_STRETCH, true, PictureLayout::Bgr24, 16, 16, drawn), MediaResult::Ok);
    std::vector<std::uint8_t> frame;
    for (int y = 0; y < drawn.Height(); ++y)
        frame.insert(frame.end(), drawn.Plane(0) + drawn.Stride(0) * y, drawn.Plane(0) + drawn.Stride(0) * y + 48);
    return frame;
}

TEST(PictureChain, AMatrixNumberFfmpegDoesNotNameIsDrawnAsAnUnlabelledPicture)
{
    const std::vector<std::uint8_t> unlabelled = DrawLabelled(AVCOL_SPC_UNSPECIFIED);
    ASSERT_NE(unlabelled, DrawLabelled(AVCOL_SPC_BT709)); // the colour shows which matrix was used
    for (const int unnamed : {22, 255})
        EXPECT_EQ(DrawLabelled(unnamed), unlabelled) << unnamed;
}

class TimelineTest : public ::testing::Test {
protected:
    TimelineNode Node(TimelineNodeKind kind)
    {
        TimelineNode node = -1;
        EXPECT_EQ(timeline.CreateEmptyNode(kind, node), MediaResult::Ok);
        return node;
    }

    TimelineNode Source(MediaTime start, MediaTime stop, const std::string& name)
    {
        const TimelineNode source = Node(TimelineNodeKind::Source);
        EXPECT_EQ(timeline.SetStartStop(source, start, stop), MediaResult::Ok);
        EXPECT_EQ(timeline.SetMediaTimes(source, start, stop), MediaResult::Ok);
        EXPECT_EQ(timeline.SetMediaName(source, name), MediaResult::Ok);
        return source;
    }

    Timeline timeline;
};

TEST_F(TimelineTest, RefusesCallsOnTheWrongNodeOrWithImpossibleValues)
{
    const TimelineNode group = Node(TimelineNodeKind::Group);
    const TimelineNode track = Node(TimelineNodeKind::Track);
    const TimelineNode source = Node(TimelineNodeKind::Source);
    const MediaResult results[] = {
        timeline.SetMediaType(track, Rgb24VideoType(320, 240)),
        timeline.SetMediaType(group, Rgb24VideoType(0, 240)),
        timeline.SetOutputFPS(group, 0.0),
        timeline.SetOutputFPS(group, -25.0),
        timeline.SetOutputFPS(group, std::numeric_limits<double>::quiet_NaN()),
        timeline.SetOutputFPS(group, std::numeric_limits<double>::infinity()),
        timeline.SetStartStop(source, kSecond, kSecond),
        timeline.SetMediaTimes(source, 2 * kSecond, kSecond),
        timeline.SetMediaName(source, ""),
        timeline.SetStretchMode(source, 1),
        timeline.SetStretchMode(group, RESIZEF_STRETCH),
        timeline.VTrackInsBefore(track, track, -1),
        timeline.SrcAdd(track, source), // a source without times or file
        timeline.AddGroup(group),       // a group without a type
        timeline.AddGroup(99),
    };
    for (std::size_t i = 0; i < std::size(results); ++i)
        EXPECT_EQ(results[i], MediaResult::InvalidArg) << "call " << i;
    int count = -1;
    EXPECT_EQ(timeline.GetGroupCount(count), MediaResult::Ok);
    EXPECT_EQ(count, 0);
}

TEST_F(TimelineTest, GroupsKeepTheirTracksAndSourcesInOrder)
{
    const TimelineNode group = Node(TimelineNodeKind::Group);
    ASSERT_EQ(timeline.SetMediaType(group, Rgb24VideoType(320, 240)), MediaResult::Ok);
    ASSERT_EQ(timeline.SetOutputFPS(group, 25.0), MediaResult::Ok);
    ASSERT_EQ(timeline.AddGroup(group), MediaResult::Ok);
    EXPECT_EQ(timeline.AddGroup(group), MediaResult::InvalidArg);
    const TimelineNode first = Node(TimelineNodeKind::Track);
    const TimelineNode second = Node(TimelineNodeKind::Track);
    ASSERT_EQ(timeline.VTrackInsBefore(group, first, -1), MediaResult::Ok);
    ASSERT_EQ(timeline.VTrackInsBefore(group, second, 0), MediaResult::Ok); // before the first
    const TimelineNode source = Source(0, kSecond, "clip.mp4");
    ASSERT_EQ(timeline.SetStretchMode(source, RESIZEF_PRESERVEASPECTRATIO), MediaResult::Ok);
    ASSERT_EQ(timeline.SrcAdd(first, source), MediaResult::Ok);
    EXPECT_EQ(timeline.SrcAdd(second, source), MediaResult::InvalidArg); // a source sits on one track

    const std::vector<TimelineGroupSpec> groups = timeline.Groups();
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].outputFps, 25.0);
    EXPECT_EQ(groups[0].mediaType, Rgb24VideoType(320, 240));
    ASSERT_EQ(groups[0].tracks.size(), 2u);
    EXPECT_TRUE(groups[0].tracks[0].sources.empty());
    ASSERT_EQ(groups[0].tracks[1].sources.size(), 1u);
    EXPECT_EQ(groups[0].tracks[1].sources[0],
              (TimelineSourceSpec{0, kSecond, 0, kSecond, "clip.mp4", RESIZEF_PRESERVEASPECTRATIO}));
}

TEST_F(TimelineTest, ValidatingNamesFindsAFileThatDoesNotOpen)
{
    const TimelineNode group = Node(TimelineNodeKind::Group);
    ASSERT_EQ(timeline.SetMediaType(group, AudioGroupType()), MediaResult::Ok);
    ASSERT_EQ(timeline.AddGroup(group), MediaResult::Ok);
    const TimelineNode track = Node(TimelineNodeKind::Track);
    ASSERT_EQ(timeline.VTrackInsBefore(group, track, -1), MediaResult::Ok);
    ASSERT_EQ(timeline.SrcAdd(track, Source(0, kSecond, "/nonexistent/clip.mp4")), MediaResult::Ok);
    EXPECT_EQ(timeline.ValidateSourceNames(SFN_VALIDATEF_CHECK | SFN_VALIDATEF_POPUP | SFN_VALIDATEF_REPLACE),
              MediaResult::FileNotFound);
    EXPECT_EQ(timeline.ValidateSourceNames(0), MediaResult::Ok); // nothing asked
}

} // namespace
