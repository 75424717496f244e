#include "imaging/FixedPalette.h"

#include "support/Frames.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

namespace {
using Bgr = std::tuple<int, int, int>;

Bgr Colour(const PaletteEntry& entry)
{
    return {entry.blue, entry.green, entry.red};
}

std::vector<Bgr> Entries(int first, int count)
{
    std::vector<Bgr> colours;
    for (int i = first; i < first + count; ++i)
        colours.push_back(Colour(FixedPalette()[static_cast<std::size_t>(i)]));
    return colours;
}

TEST(FixedPaletteTest, StartsAndEndsWithTheStaticColours)
{
    EXPECT_EQ(Entries(0, 10), (std::vector<Bgr>{{0, 0, 0}, {0, 0, 128}, {0, 128, 0}, {0, 128, 128}, {128, 0, 0},
                                                {128, 0, 128}, {128, 128, 0}, {192, 192, 192}, {192, 220, 192},
                                                {240, 202, 166}}));
    EXPECT_EQ(Entries(246, 10), (std::vector<Bgr>{{240, 251, 255}, {164, 160, 160}, {128, 128, 128}, {0, 0, 255},
                                                  {0, 255, 0}, {0, 255, 255}, {255, 0, 0}, {255, 0, 255},
                                                  {255, 255, 0}, {255, 255, 255}}));
}

TEST(FixedPaletteTest, FirstRampRunsFromTintsThroughOrangeToShades)
{
    EXPECT_EQ(Entries(10, 12), (std::vector<Bgr>{{212, 240, 255}, {177, 226, 255}, {142, 212, 255}, {107, 198, 255},
                                                 {72, 184, 255}, {37, 170, 255}, {0, 170, 255}, {0, 146, 220},
                                                 {0, 122, 185}, {0, 98, 150}, {0, 74, 115}, {0, 50, 80}}));
}

TEST(FixedPaletteTest, EveryRampHasItsHueInTheMiddleWithLighterAndDarkerSides)
{
    const std::vector<Bgr> hues{{0, 170, 255}, {0, 85, 255}, {0, 0, 254},   {85, 0, 255},  {170, 0, 255},
                                {254, 0, 254}, {255, 0, 170}, {255, 0, 85}, {254, 0, 0},   {255, 85, 0},
                                {255, 170, 0}, {254, 254, 0}, {170, 255, 0}, {85, 255, 0}, {0, 254, 0},
                                {0, 255, 85},  {0, 255, 170}, {0, 254, 254}};
    const auto brightness = [](const Bgr& c) { return std::get<0>(c) + std::get<1>(c) + std::get<2>(c); };
    for (std::size_t ramp = 0; ramp < hues.size(); ++ramp) {
        const std::vector<Bgr> entries = Entries(10 + static_cast<int>(ramp) * 12, 12);
        EXPECT_EQ(entries[6], hues[ramp]) << ramp;
        for (std::size_t i = 1; i < entries.size(); ++i)
            EXPECT_GT(brightness(entries[i - 1]), brightness(entries[i])) << ramp << " " << i;
    }
}

TEST(FixedPaletteTest, GreysStepDownByTwelveAndAllEntriesDiffer)
{
    for (int i = 0; i < 20; ++i) {
        const int grey = 242 - 12 * i;
        EXPECT_EQ(Colour(FixedPalette()[static_cast<std::size_t>(226 + i)]), Bgr(grey, grey, grey)) << i;
    }
    std::set<Bgr> distinct;
    for (const PaletteEntry& entry : FixedPalette()) {
        distinct.insert(Colour(entry));
        EXPECT_EQ(entry.reserved, 0);
    }
    EXPECT_EQ(distinct.size(), 256u);
}

// Memory rows of one pixel each row entry (blue, green, red), reduced.
std::vector<std::vector<int>> Reduce(const std::vector<std::vector<Bgr>>& rows)
{
    const int width = static_cast<int>(rows.front().size());
    const int height = static_cast<int>(rows.size());
    TestFrame frame = SolidFrame(width, height, 0, 0, 0);
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            std::uint8_t* pixel = frame.Data() + frame.stride * y + x * 3;
            pixel[0] = static_cast<std::uint8_t>(std::get<0>(rows[y][x]));
            pixel[1] = static_cast<std::uint8_t>(std::get<1>(rows[y][x]));
            pixel[2] = static_cast<std::uint8_t>(std::get<2>(rows[y][x]));
        }
    const QByteArray before = frame.bits;
    const Bitmap bitmap(width, height, frame.Data(), static_cast<std::size_t>(frame.bits.size()));
    const IndexedFrame reduced = ReduceToFixedPalette(bitmap);
    EXPECT_EQ(frame.bits, before);
    EXPECT_EQ(reduced.stride, static_cast<std::size_t>((width + 3) / 4 * 4));
    std::vector<std::vector<int>> indices(rows.size());
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            indices[y].push_back(reduced.indices[reduced.stride * y + x]);
    return indices;
}

TEST(ReductionTest, EveryPaletteColourMapsToItself)
{
    for (std::size_t i = 0; i < FixedPalette().size(); ++i)
        EXPECT_EQ(Reduce({{Colour(FixedPalette()[i])}}), (std::vector<std::vector<int>>{{static_cast<int>(i)}})) << i;
}

struct ReductionCase {
    const char* name;
    std::vector<std::vector<Bgr>> rows; // memory order
    std::vector<std::vector<int>> indices;
};

void PrintTo(const ReductionCase& reductionCase, std::ostream* out)
{
    *out << reductionCase.name;
}

class ReductionCaseTest : public ::testing::TestWithParam<ReductionCase> {};

TEST_P(ReductionCaseTest, ChoosesAndDiffuses)
{
    EXPECT_EQ(Reduce(GetParam().rows), GetParam().indices);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReductionCaseTest,
    ::testing::Values(
        // (0,0,21) is 441 from black (0) and from grey 14 (245); the lower index wins.
        ReductionCase{"TieToBlack", {{{0, 0, 21}}}, {{0}}},
        ReductionCase{"TieBetweenGreys", {{{0, 25, 35}}}, {{244}}},
        // One red step short of 128 leaves an error of -1: -7/16 truncates to 0, so the
        // neighbour stays nearer grey 14 than black (flooring would make it -1 and black).
        ReductionCase{"TruncatesTowardZero", {{{0, 0, 127}, {0, 0, 22}}}, {{1, 245}}},
        // An error of +3 carries 21/16 = 1 along the row, just enough to tip (0,0,21) to grey.
        ReductionCase{"SevenSixteenthsAlongTheRow", {{{0, 0, 131}, {0, 0, 21}}}, {{1, 245}}},
        // +4 carries 16/16 = 1 to the pixel in the next memory row, +3 carries 12/16 = 0.
        ReductionCase{"FourSixteenthsBelow", {{{0, 0, 132}}, {{0, 0, 21}}}, {{1}, {245}}},
        ReductionCase{"LessThanOneIsDropped", {{{0, 0, 131}}, {{0, 0, 21}}}, {{1}, {0}}},
        // A mixed frame whose result differs from flooring, from weights 7/3/5/1, 7/1/4/2 or
        // 7/4/2/1, from unclamped channels and from the opposite row order.
        ReductionCase{"MixedFrame",
                      {{{21, 15, 9}, {110, 71, 2}, {130, 12, 7}, {150, 80, 10}, {237, 111, 242}},
                       {{142, 127, 46}, {248, 9, 18}, {22, 10, 9}, {22, 22, 24}, {18, 117, 68}},
                       {{192, 17, 125}, {2, 47, 242}, {135, 253, 242}, {1, 101, 20}, {155, 245, 3}}},
                      {{245, 140, 4, 139, 73}, {6, 111, 245, 244, 212}, {90, 39, 217, 188, 160}}}),
    [](const ::testing::TestParamInfo<ReductionCase>& param) { return std::string(param.param.name); });
} // namespace
