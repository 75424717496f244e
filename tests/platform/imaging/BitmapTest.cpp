#include "platform/imaging/Bitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Layout {
    int width;
    int height;
    std::size_t length;
    bool valid;
    std::size_t stride;
};

class BitmapLayoutTest : public ::testing::TestWithParam<Layout> {};

TEST_P(BitmapLayoutTest, PadsRowsToFourBytesAndNeedsTheWholeFrame)
{
    const Layout layout = GetParam();
    const std::vector<std::uint8_t> bits(layout.length + 1);
    const Bitmap bitmap(layout.width, layout.height, bits.data(), layout.length);
    EXPECT_EQ(bitmap.IsValid(), layout.valid);
    if (layout.valid) {
        EXPECT_EQ(bitmap.Stride(), layout.stride);
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, BitmapLayoutTest,
                         ::testing::Values(Layout{640, 480, 921600, true, 1920}, Layout{321, 240, 231360, true, 964},
                                           Layout{1, 1, 4, true, 4}, Layout{2, 1, 8, true, 8},
                                           Layout{321, 240, 231359, false, 0}, Layout{0, 10, 100, false, 0},
                                           Layout{10, 0, 100, false, 0}, Layout{10, -2, 100, false, 0},
                                           Layout{-4, 2, 100, false, 0}));

TEST(BitmapTest, RowsAreCountedFromTheTopOfABottomUpFrame)
{
    std::vector<std::uint8_t> bits(8 * 3);
    const Bitmap bitmap(2, 3, bits.data(), bits.size());
    EXPECT_EQ(bitmap.Row(0), bits.data() + 16);
    EXPECT_EQ(bitmap.Row(2), bits.data());
}

TEST(BitmapTest, IndexedRowsArePaddedToo)
{
    const Palette palette{};
    std::vector<std::uint8_t> indices(8 * 2);
    const Bitmap bitmap(5, 2, indices.data(), indices.size(), palette);
    ASSERT_TRUE(bitmap.IsValid());
    EXPECT_EQ(bitmap.Stride(), 8u);
    EXPECT_EQ(bitmap.Format(), PixelFormat::Indexed8);
    EXPECT_EQ(bitmap.GetPalette(), &palette);
    EXPECT_FALSE(Bitmap(5, 2, indices.data(), 15, palette).IsValid());
}
} // namespace
