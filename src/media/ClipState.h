#pragma once

#include "platform/media/MediaTime.h"
#include "settings/ConversionSettings.h"

#include <QString>

// The clip as the source of the picture.
struct VideoItem {
    QString path;                 // emptied when the preview cannot open the file
    MediaTime duration = 0;       // length of the clip
};

// The same file as the source of the sound.
struct AudioItem {
    QString path;
    MediaTime duration = 0;       // 0 or -1 when the sound could not be measured
};

// The open clip as the main window keeps it. The clip's size, frame rate and
// source count are in facts, shared with the settings code.
struct ClipState {
    VideoItem video;
    AudioItem audio;
    int audioItemCount = 0;
    MediaTime markStart = 0;
    MediaTime markEnd = 0;
    int itemSeconds = 0;          // whole seconds of the last probed duration
    ClipFacts facts;
};

// The texts of the three time boxes of the main window.
struct ClipTexts {
    QString startTime;
    QString position;
    QString endTime;
};

// Drops the clip as the source of the next conversion and clears the marks;
// returns the texts the time boxes show with no clip.
ClipTexts CloseClip(ClipState& clip);
