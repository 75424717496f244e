#pragma once

#include "platform/media/MediaTime.h"
#include "platform/media/Timeline.h"

#include <cstdint>
#include <optional>
#include <vector>

// Which source picture each output frame of a group shows; plain arithmetic,
// no decoding.

// Timeline time of output frame k: k / rate, rounded to the nearest unit.
MediaTime OutputFrameTime(std::int64_t k, double rate);

// The instant whose picture output frame k shows: the middle of its slot,
// (k + 1/2) / rate. The frame shown is the last one that starts before it, as
// FFmpeg's fps filter takes it, so a source frame whose time a container
// rounded (to the millisecond, say) still lands in its own slot.
MediaTime OutputFramePick(std::int64_t k, double rate);

// Frames whose timeline time lies before the end: every k with
// OutputFrameTime(k) < end.
std::int64_t OutputFrameCount(MediaTime end, double rate);

// The end of a track: where its last source stops.
MediaTime TrackEnd(const TimelineTrackSpec& track);

struct SourcePosition {
    std::size_t source = 0; // index in the track
    MediaTime mediaTime = 0; // the instant of the file on screen
};

// The source on screen at timeline time t, and the file instant of that
// source `ahead` units later; none in a gap between sources. A source whose
// media range differs in length from its timeline range plays faster or
// slower to fit it.
std::optional<SourcePosition> SourceAt(const TimelineTrackSpec& track, MediaTime t, MediaTime ahead = 0);
