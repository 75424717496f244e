#include "media/ClipState.h"

#include "media/PlaybackDisplay.h"

ClipTexts CloseClip(ClipState& clip)
{
    clip.facts.videoItemCount = 0;
    clip.markStart = 0;
    clip.markEnd = 0;
    const QString zero = FormatClockTime(0);
    return ClipTexts{zero, QString(), zero};
}
