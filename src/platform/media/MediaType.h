#pragma once

#include <cstdint>

// The format description of a stream or group, in the shape the timeline and
// the grabber exchange: a major kind, an optional pixel layout and, for
// uncompressed video, the bitmap header of one frame.
enum class MajorType { None, Video, Audio };
enum class SubType { None, Rgb24 };
enum class FormatType { None, VideoInfo };

struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0; // positive: rows are stored bottom-up
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0; // 0: uncompressed
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;

    bool operator==(const BitmapInfoHeader&) const = default;
};

struct MediaType {
    MajorType majortype = MajorType::None;
    SubType subtype = SubType::None;
    bool bFixedSizeSamples = false;
    bool bTemporalCompression = false;
    std::int64_t lSampleSize = 0;
    FormatType formattype = FormatType::None;
    BitmapInfoHeader bmiHeader; // meaningful only with FormatType::VideoInfo

    bool operator==(const MediaType&) const = default;
};

// Bytes of one row of 24-bit pixels, padded to whole 32-bit words.
constexpr std::int32_t Rgb24Stride(std::int32_t width)
{
    return ((width * 24 + 31) / 8) & ~3;
}

// The type of a video group: frames of exactly this size, drawn in the
// layout the grabber's callback takes.
MediaType Rgb24VideoType(std::int32_t width, std::int32_t height);

// The type of a sound group: any audio, no format block.
MediaType AudioGroupType();

// What the sample grabber accepts: any RGB24 video; the size comes from the
// connection.
MediaType Rgb24GrabberType();
