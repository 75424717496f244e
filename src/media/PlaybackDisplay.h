#pragma once

#include "platform/media/MediaTime.h"

#include <QString>

#include <cstdint>

// The seek bar has 600 steps over the clip, whatever the clip's length.
inline constexpr int kSeekBarRange = 600;

// Whole seconds of a media time, truncated toward zero to 32 bits.
std::int32_t WholeSeconds(MediaTime time);

// "%02d:%02d:%02d" of the whole seconds; hours are not wrapped at 24.
QString FormatClockTime(MediaTime time);

// The tooltip of a mark box: the mark to the millisecond and its frame,
// counted from 0 at the clip's frame rate. The frame nearest the mark is the
// one on screen when the mark was taken on a frame, and the first that a
// conversion at the clip's own rate takes; without a rate, no frame.
QString MarkTooltip(MediaTime mark, double frameRate);

// The position box: "%02d:%02d:%02d / %02d:%02d:%02d" of the position and the length.
QString FormatPositionText(MediaTime current, MediaTime length);

// Where a seek bar position takes the clip: length × position ÷ 600, truncated.
MediaTime SeekTarget(MediaTime stopPosition, int seekPos);

// The seek bar position of a clip position; 0 for a clip of no length.
int SeekBarPosition(MediaTime current, MediaTime stopPosition);
