#pragma once

#include "platform/media/MediaTime.h"
#include "settings/ConversionSettings.h"

#include <QString>

#include <array>
#include <functional>

class Profile;

inline constexpr int kVideoItemCapacity = 1000;
inline constexpr int kAudioItemCapacity = 100;

// One source of the conversion. Open Video only ever fills entry 0.
struct VideoItem {
    QString path;
    MediaTime duration = 0;       // length of the clip
    int transitionKind = 0;
    MediaTime transitionLength = 0;
};

struct AudioItem {
    QString path;
    MediaTime duration = 0;       // 0 or -1 when the sound could not be measured
};

// The open clip as the main window keeps it. The clip's size, frame rate and
// source count are in facts, shared with the settings code.
struct ClipState {
    std::array<VideoItem, kVideoItemCapacity> videoItems;
    std::array<AudioItem, kAudioItemCapacity> audioItems;
    int audioItemCount = 0;
    MediaTime markStart = 0;
    MediaTime markEnd = 0;
    int itemSeconds = 0;          // whole seconds of the last probed duration
    ClipFacts facts;
};

// Transition defaults of every new source, from the "TransitionSettings" section.
struct TransitionDefaults {
    int photoDuration = 8;
    int transitionLength = 0;     // whole seconds
    int transitionMode = 0;       // 0 random, 1 by index, 2 fixed
    int fixedTransition = 0;
};

TransitionDefaults LoadTransitionDefaults(const Profile& profile);

// The transition kind of the source at index: random modulo 47, the index,
// the fixed kind, or the current kind for any other mode.
int TransitionKind(const TransitionDefaults& defaults, int index, int currentKind,
                   const std::function<int()>& random);

// The texts of the three time boxes of the main window.
struct ClipTexts {
    QString startTime;
    QString position;
    QString endTime;
};

// Drops the clip as the source of the next conversion and clears the marks;
// returns the texts the time boxes show with no clip.
ClipTexts CloseClip(ClipState& clip);
