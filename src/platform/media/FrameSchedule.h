#pragma once

#include "platform/media/MediaTime.h"

#include <cstdint>

// Which picture each output frame shows; plain arithmetic, no decoding.

// Time of output frame k from the start of the stretch: k / rate, rounded to the nearest unit.
MediaTime OutputFrameTime(std::int64_t k, double rate);

// The instant whose picture output frame k shows: the middle of its slot,
// (k + 1/2) / rate. The frame shown is the last one that starts before it, as
// FFmpeg's fps filter takes it, so a source frame whose time a container
// rounded (to the millisecond, say) still lands in its own slot.
MediaTime OutputFramePick(std::int64_t k, double rate);

// Frames whose time lies before the end: every k with
// OutputFrameTime(k) < end.
std::int64_t OutputFrameCount(MediaTime end, double rate);
