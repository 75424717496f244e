#include "platform/media/PictureChain.h"
#include "platform/media/FrameSchedule.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;

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

TEST(FitPicture, PreservingAspectCentresOnBlack)
{
    const struct {
        int width;
        int height;
        AVRational sar;
        int rotation;
        int frameWidth;
        int frameHeight;
        bool keepAspect;
        PictureRect rect;
    } cases[] = {
        {1920, 1080, {1, 1}, 0, 640, 480, true, {0, 60, 640, 360}},
        {1920, 1080, {1, 1}, 0, 640, 480, false, {0, 0, 640, 480}},
        {640, 480, {1, 1}, 0, 1280, 720, true, {160, 0, 960, 720}},
        {720, 576, {64, 45}, 0, 640, 480, true, {0, 60, 640, 360}}, // 16:9 by its pixels
        {320, 180, {1, 1}, 90, 640, 480, true, {185, 0, 270, 480}},  // turned to portrait
        {320, 180, {1, 1}, 180, 640, 480, true, {0, 60, 640, 360}},
        {320, 240, {1, 1}, 0, 320, 240, true, {0, 0, 320, 240}},
        {8192, 10, {1, 1}, 0, 64, 48, true, {0, 23, 64, 1}}, // never thinner than a row
    };
    for (const auto& c : cases) {
        const double aspect = DisplayAspect(c.width, c.height, c.sar, c.rotation);
        EXPECT_EQ(FitPicture(aspect, c.frameWidth, c.frameHeight, c.keepAspect), c.rect)
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
    EXPECT_EQ(chain.Draw(*picture, {}, false, true, PictureLayout::Bgr24, 16, 16, drawn), MediaResult::Ok);
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

} // namespace
