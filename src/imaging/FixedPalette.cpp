#include "imaging/FixedPalette.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {
struct Bgr {
    int blue;
    int green;
    int red;
};

constexpr std::array<Bgr, 10> kFirstStaticColours{{{0, 0, 0}, {0, 0, 128}, {0, 128, 0}, {0, 128, 128},
                                                   {128, 0, 0}, {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
                                                   {192, 220, 192}, {240, 202, 166}}};
constexpr std::array<Bgr, 10> kLastStaticColours{{{240, 251, 255}, {164, 160, 160}, {128, 128, 128}, {0, 0, 255},
                                                  {0, 255, 0}, {0, 255, 255}, {255, 0, 0}, {255, 0, 255},
                                                  {255, 255, 0}, {255, 255, 255}}};
// The full hue of each ramp, round the colour wheel in steps of 20 degrees.
constexpr std::array<Bgr, 18> kHues{{{0, 170, 255}, {0, 85, 255}, {0, 0, 254}, {85, 0, 255}, {170, 0, 255},
                                     {254, 0, 254}, {255, 0, 170}, {255, 0, 85}, {254, 0, 0}, {255, 85, 0},
                                     {255, 170, 0}, {254, 254, 0}, {170, 255, 0}, {85, 255, 0}, {0, 254, 0},
                                     {0, 255, 85}, {0, 255, 170}, {0, 254, 254}}};
constexpr int kRampLength = 12;
constexpr int kTints = 6;
constexpr int kShades = 5;
constexpr int kFirstRampIndex = 10;
constexpr int kFirstGreyIndex = 226;
constexpr int kGreys = 20;
constexpr int kBrightestGrey = 242;
constexpr int kGreyStep = 12;

// The orange ramp as the palette has always had it; the other ramps take
// its steps: a tint lifts each channel by the share of its distance to
// white that the orange ramp's blue is lifted by, and a shade keeps the
// share of each channel that the orange ramp's red keeps.
constexpr std::array<Bgr, kRampLength> kFirstRamp{{{212, 240, 255}, {177, 226, 255}, {142, 212, 255},
                                                   {107, 198, 255}, {72, 184, 255}, {37, 170, 255},
                                                   {0, 170, 255}, {0, 146, 220}, {0, 122, 185},
                                                   {0, 98, 150}, {0, 74, 115}, {0, 50, 80}}};
constexpr std::array<int, kTints> kTintLift{212, 177, 142, 107, 72, 37};
constexpr std::array<int, kShades> kShadeKeep{220, 185, 150, 115, 80};

PaletteEntry Entry(const Bgr& colour)
{
    return PaletteEntry{static_cast<std::uint8_t>(colour.blue), static_cast<std::uint8_t>(colour.green),
                        static_cast<std::uint8_t>(colour.red), 0};
}

Bgr Tint(const Bgr& hue, int lift)
{
    const auto channel = [lift](int value) { return value + (255 - value) * lift / 255; };
    return {channel(hue.blue), channel(hue.green), channel(hue.red)};
}

Bgr Shade(const Bgr& hue, int keep)
{
    const auto channel = [keep](int value) { return value * keep / 255; };
    return {channel(hue.blue), channel(hue.green), channel(hue.red)};
}

std::array<Bgr, kRampLength> Ramp(std::size_t ramp)
{
    if (ramp == 0)
        return kFirstRamp;
    std::array<Bgr, kRampLength> colours{};
    for (int i = 0; i < kTints; ++i)
        colours[static_cast<std::size_t>(i)] = Tint(kHues[ramp], kTintLift[static_cast<std::size_t>(i)]);
    colours[kTints] = kHues[ramp];
    for (int i = 0; i < kShades; ++i)
        colours[static_cast<std::size_t>(kTints + 1 + i)] = Shade(kHues[ramp], kShadeKeep[static_cast<std::size_t>(i)]);
    return colours;
}

Palette BuildPalette()
{
    Palette palette{};
    std::transform(kFirstStaticColours.begin(), kFirstStaticColours.end(), palette.begin(), Entry);
    for (std::size_t ramp = 0; ramp < kHues.size(); ++ramp) {
        const auto colours = Ramp(ramp);
        std::transform(colours.begin(), colours.end(), palette.begin() + kFirstRampIndex + ramp * kRampLength, Entry);
    }
    for (int i = 0; i < kGreys; ++i) {
        const int grey = kBrightestGrey - i * kGreyStep;
        palette[static_cast<std::size_t>(kFirstGreyIndex + i)] = Entry({grey, grey, grey});
    }
    std::transform(kLastStaticColours.begin(), kLastStaticColours.end(), palette.end() - 10, Entry);
    return palette;
}

int SquaredDistance(const PaletteEntry& entry, int blue, int green, int red)
{
    const int b = blue - entry.blue;
    const int g = green - entry.green;
    const int r = red - entry.red;
    return b * b + g * g + r * r;
}

std::uint8_t SearchNearest(const Palette& palette, int blue, int green, int red)
{
    std::size_t best = 0;
    int bestDistance = SquaredDistance(palette[0], blue, green, red);
    for (std::size_t i = 1; i < palette.size() && bestDistance != 0; ++i) {
        const int distance = SquaredDistance(palette[i], blue, green, red);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// The nearest entry of the fixed palette for each colour, searched once per
// colour a thread meets: a frame holds far fewer colours than pixels.
class NearestEntryCache final {
public:
    std::uint8_t Find(int blue, int green, int red)
    {
        const auto key = static_cast<std::uint32_t>(blue << 16 | green << 8 | red);
        std::uint64_t& known = known_[key >> 6];
        const std::uint64_t bit = std::uint64_t{1} << (key & 63);
        if ((known & bit) == 0) {
            index_[key] = SearchNearest(FixedPalette(), blue, green, red);
            known |= bit;
        }
        return index_[key];
    }

private:
    std::vector<std::uint8_t> index_ = std::vector<std::uint8_t>(std::size_t{1} << 24);
    std::vector<std::uint64_t> known_ = std::vector<std::uint64_t>(std::size_t{1} << 18);
};

struct Error {
    int blue;
    int green;
    int red;
};

std::uint8_t WithShare(std::uint8_t channel, int error, int sixteenths)
{
    return static_cast<std::uint8_t>(std::clamp(channel + error * sixteenths / 16, 0, 255));
}

// Adds a share of error to pixel x of a working row; shares outside the frame are dropped.
void Carry(std::vector<std::uint8_t>& row, int x, const Error& error, int sixteenths)
{
    if (x < 0 || static_cast<std::size_t>(x) * 3 >= row.size())
        return;
    std::uint8_t* pixel = row.data() + static_cast<std::size_t>(x) * 3;
    pixel[0] = WithShare(pixel[0], error.blue, sixteenths);
    pixel[1] = WithShare(pixel[1], error.green, sixteenths);
    pixel[2] = WithShare(pixel[2], error.red, sixteenths);
}

// The working rows: the current one and the next one, each a copy of the
// frame's row with the error carried into it so far.
class DiffusionRows final {
public:
    explicit DiffusionRows(const Bitmap& frame) : frame_(frame), width_(static_cast<std::size_t>(frame.Width()) * 3)
    {
        current_.resize(width_);
        next_.resize(width_);
        Load(next_, 0);
    }

    void Advance(int row)
    {
        current_.swap(next_);
        hasNext_ = row + 1 < frame_.Height();
        if (hasNext_)
            Load(next_, row + 1);
    }

    std::vector<std::uint8_t>& Current() { return current_; }
    std::vector<std::uint8_t>* Next() { return hasNext_ ? &next_ : nullptr; }

private:
    void Load(std::vector<std::uint8_t>& row, int index)
    {
        std::memcpy(row.data(), frame_.Row(frame_.Height() - 1 - index), width_);
    }

    const Bitmap& frame_;
    std::size_t width_;
    std::vector<std::uint8_t> current_;
    std::vector<std::uint8_t> next_;
    bool hasNext_ = false;
};

void ReduceRow(DiffusionRows& rows, NearestEntryCache& cache, std::uint8_t* indices)
{
    std::vector<std::uint8_t>& current = rows.Current();
    std::vector<std::uint8_t>* next = rows.Next();
    const Palette& palette = FixedPalette();
    for (int x = 0; static_cast<std::size_t>(x) * 3 < current.size(); ++x) {
        const std::uint8_t* pixel = current.data() + static_cast<std::size_t>(x) * 3;
        const std::uint8_t index = cache.Find(pixel[0], pixel[1], pixel[2]);
        indices[x] = index;
        const PaletteEntry& chosen = palette[index];
        const Error error{pixel[0] - chosen.blue, pixel[1] - chosen.green, pixel[2] - chosen.red};
        Carry(current, x + 1, error, 7);
        if (next) {
            Carry(*next, x - 1, error, 2);
            Carry(*next, x, error, 4);
            Carry(*next, x + 1, error, 1);
        }
    }
}
} // namespace

const Palette& FixedPalette()
{
    static const Palette palette = BuildPalette();
    return palette;
}

IndexedFrame ReduceToFixedPalette(const Bitmap& frame)
{
    IndexedFrame reduced;
    reduced.stride = static_cast<std::size_t>(Bitmap::RowStride(frame.Width(), 8));
    reduced.indices.resize(reduced.stride * static_cast<std::size_t>(frame.Height()));
    thread_local NearestEntryCache cache;
    DiffusionRows rows(frame);
    for (int row = 0; row < frame.Height(); ++row) {
        rows.Advance(row);
        ReduceRow(rows, cache, reduced.indices.data() + reduced.stride * static_cast<std::size_t>(row));
    }
    return reduced;
}
