#pragma once

#include "platform/media/MediaResult.h"
#include "platform/media/MediaTime.h"

#include "settings/ConversionSettings.h"

#include <QString>

#include <memory>

class ConversionReporter;
class EditingServices;
class Timeline;

// What a conversion takes from the open clip: its sources and the marked range.
struct ClipSource {
    int videoItemCount = 0;
    int audioItemCount = 0;
    QString videoPath;
    QString audioPath;
    MediaTime markStart = 0;
    MediaTime markEnd = 0;
    double sourceFrameRate = 0.0;
};

// Describes the marked range as a timeline: group 0 the picture at the output
// size and rate, group 1 the clip's sound. A failing step shows its message
// and the later groups are still added; the timeline is null only when it
// could not be created at all.
std::unique_ptr<Timeline> BuildTimeline(EditingServices& services, const ConversionReporter& reporter,
                                        const ClipSource& clip, const ConversionSettings& settings);

MediaResult AddVideoGroup(Timeline& timeline, const ConversionReporter& reporter, const ClipSource& clip, const ConversionSettings& settings);
MediaResult AddAudioGroup(Timeline& timeline, const ConversionReporter& reporter, const ClipSource& clip, const ConversionSettings& settings);
