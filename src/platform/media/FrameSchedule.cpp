#include "platform/media/FrameSchedule.h"

#include <algorithm>
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

MediaTime TrackEnd(const TimelineTrackSpec& track)
{
    MediaTime end = 0;
    for (const TimelineSourceSpec& source : track.sources)
        end = std::max(end, source.stop);
    return end;
}

std::optional<SourcePosition> SourceAt(const TimelineTrackSpec& track, MediaTime t, MediaTime ahead)
{
    for (std::size_t i = 0; i < track.sources.size(); ++i) {
        const TimelineSourceSpec& source = track.sources[i];
        if (t < source.start || t >= source.stop)
            continue;
        const MediaTime offset = t - source.start + ahead;
        const MediaTime mediaLength = source.mediaStop - source.mediaStart;
        const MediaTime length = source.stop - source.start;
        // The common case (equal lengths) adds the offset as it is.
        const MediaTime scaled =
            mediaLength == length
                ? offset
                : static_cast<MediaTime>(std::floor(static_cast<long double>(offset) * mediaLength / length));
        return SourcePosition{i, source.mediaStart + scaled};
    }
    return std::nullopt;
}
