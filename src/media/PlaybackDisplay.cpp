#include "media/PlaybackDisplay.h"

#include "media/MediaTexts.h"
#include "platform/media/ClockText.h"

#include <algorithm>
#include <cmath>

namespace {
// One step of the seek bar as a fraction of the clip, as the seek has always used it.
constexpr double kSeekStep = 0.0016666666666666668;
} // namespace

std::int32_t WholeSeconds(MediaTime time)
{
    return static_cast<std::int32_t>(time / kMediaUnitsPerSecond);
}

QString FormatClockTime(MediaTime time)
{
    return ClockText(WholeSeconds(time));
}

QString MarkTooltip(MediaTime mark, double frameRate)
{
    const int milliseconds = static_cast<int>(mark % kMediaUnitsPerSecond / (kMediaUnitsPerSecond / 1000));
    QString text = FormatClockTime(mark) + QString::asprintf(".%03d", milliseconds);
    if (frameRate > 0) {
        const long long frame = std::llround(static_cast<double>(mark) * frameRate / kMediaUnitsPerSecond);
        text += QString::asprintf(MediaTexts::kMarkFrameSuffix, frame);
    }
    return text;
}

QString FormatPositionText(MediaTime current, MediaTime length)
{
    return FormatClockTime(current) + QStringLiteral(" / ") + FormatClockTime(length);
}

MediaTime SeekTarget(MediaTime stopPosition, int seekPos)
{
    // Extended precision keeps the product exact for any clip length.
    const long double target = static_cast<long double>(stopPosition) * seekPos * kSeekStep;
    return static_cast<MediaTime>(target);
}

int SeekBarPosition(MediaTime current, MediaTime stopPosition)
{
    if (stopPosition == 0)
        return 0;
    const double position = static_cast<double>(current) / static_cast<double>(stopPosition) * kSeekBarRange;
    // A position polled just past the end, or before the start, stays on the bar.
    return std::clamp(static_cast<int>(std::trunc(position)), 0, kSeekBarRange);
}
