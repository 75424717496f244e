#include "platform/media/FrameSchedule.h"

#include <cmath>

MediaTime OutputFrameTime(std::int64_t k, double rate)
{
    return std::llround(static_cast<long double>(k) * kMediaUnitsPerSecond / rate);
}

MediaTime OutputFramePick(std::int64_t k, double rate)
{
    return std::llround((static_cast<long double>(k) + 0.5L) * kMediaUnitsPerSecond / rate);
}

std::int64_t OutputFrameCount(MediaTime end, double rate)
{
    if (end <= 0 || !(rate > 0.0))
        return 0;
    // A first guess from the product, then settled by the same rounding as
    // OutputFrameTime so that the two never disagree about the last frame.
    auto count = static_cast<std::int64_t>(std::ceil(static_cast<long double>(end) * rate / kMediaUnitsPerSecond));
    while (count > 0 && OutputFrameTime(count - 1, rate) >= end)
        --count;
    while (OutputFrameTime(count, rate) < end)
        ++count;
    return count;
}
