#include "media/ClipState.h"

#include "media/PlaybackDisplay.h"
#include "platform/profile/Profile.h"
#include "settings/ProfileNames.h"

namespace {

// Stored value names; do not rename them, existing profiles rely on them.
const QString kPhotoDuration = QStringLiteral("PhotoDuration");
const QString kTransitionDuration = QStringLiteral("TransitionDuration");
const QString kTransitionType = QStringLiteral("TransitionType");
const QString kTransitionName = QStringLiteral("TransitionName");

constexpr int kTransitionKindCount = 47;

} // namespace

TransitionDefaults LoadTransitionDefaults(const Profile& profile)
{
    const QString& section = ProfileNames::kTransitionSettings;
    TransitionDefaults defaults;
    defaults.photoDuration = profile.GetInt(section, kPhotoDuration, defaults.photoDuration);
    defaults.transitionLength = profile.GetInt(section, kTransitionDuration, defaults.transitionLength);
    defaults.transitionMode = profile.GetInt(section, kTransitionType, defaults.transitionMode);
    defaults.fixedTransition = profile.GetInt(section, kTransitionName, defaults.fixedTransition);
    return defaults;
}

int TransitionKind(const TransitionDefaults& defaults, int index, int currentKind,
                   const std::function<int()>& random)
{
    switch (defaults.transitionMode) {
    case 0: return random() % kTransitionKindCount;
    case 1: return index;
    case 2: return defaults.fixedTransition;
    default: return currentKind;
    }
}

ClipTexts CloseClip(ClipState& clip)
{
    clip.facts.videoItemCount = 0;
    clip.markStart = 0;
    clip.markEnd = 0;
    const QString zero = FormatClockTime(0);
    return ClipTexts{zero, QString(), zero};
}
