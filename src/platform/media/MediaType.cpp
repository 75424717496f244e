#include "platform/media/MediaType.h"

#include <cstdlib>

MediaType Rgb24VideoType(std::int32_t width, std::int32_t height)
{
    MediaType type;
    type.majortype = MajorType::Video;
    type.subtype = SubType::Rgb24;
    type.bFixedSizeSamples = true;
    type.formattype = FormatType::VideoInfo;
    type.bmiHeader.biWidth = width;
    type.bmiHeader.biHeight = height;
    type.bmiHeader.biBitCount = 24;
    type.bmiHeader.biSizeImage =
        static_cast<std::uint32_t>(std::llabs(std::int64_t{Rgb24Stride(width)} * height));
    type.lSampleSize = type.bmiHeader.biSizeImage;
    return type;
}

MediaType AudioGroupType()
{
    MediaType type;
    type.majortype = MajorType::Audio;
    type.bFixedSizeSamples = true;
    type.lSampleSize = 1;
    return type;
}

MediaType Rgb24GrabberType()
{
    MediaType type;
    type.majortype = MajorType::Video;
    type.subtype = SubType::Rgb24;
    type.bFixedSizeSamples = true;
    type.lSampleSize = 1;
    return type;
}
