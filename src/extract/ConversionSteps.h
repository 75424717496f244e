#pragma once

#include "platform/media/MediaResult.h"
#include "platform/media/MediaTime.h"
#include "settings/ConversionSettings.h"

#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class FrameExtractor;

// What a conversion takes from the open clip: its picture, whether it has a
// sound entry (described, never decoded), and the marked range.
struct ClipSource {
    int videoItemCount = 0;
    int audioItemCount = 0;
    QString videoPath;
    MediaTime markStart = 0;
    MediaTime markEnd = 0;
    double sourceFrameRate = 0.0;
};

// The steps that start a conversion, in the order they run. The clip's sound
// is described as a group of its own, as the program always has, but it is
// never decoded: its steps only keep their place and their texts.
enum class ConversionStep {
    // The description of the marked range.
    CreateTimeline,
    CreatePictureGroup, PictureFormat, OutputRate, AddPictureGroup,
    CreatePictureTrack, InsertPictureTrack, CreatePictureSource, ConfigurePictureSource, AddPictureSource,
    CreateSoundGroup, SoundFormat, AddSoundGroup,
    CreateSoundTrack, InsertSoundTrack, CreateSoundSource, SoundTimes, NameSoundSource, AddSoundSource,
    // The extractor that draws the range and what its frames pass.
    CreateExtractor, HandOverTimeline, OpenClip, CreateConnector, FetchGraph, CountGroups, AttachConnector,
    CreatePictureEnd, AddPictureEnd, CreateSoundEnd, AddSoundEnd,
    PictureOutput, AddSink, ConnectPictures, SetSink, EveryFrame, NoSampleCopies, ConnectedFormat,
    SoundOutput, ConnectSound,
    Unclocked, RunControl, EventQueue, Notify, Run,
};

// One box a failing step shows.
struct ConversionNotice {
    bool onWindow = true; // false: a box of its own, without owner
    QString caption;
    QString text;

    bool operator==(const ConversionNotice&) const = default;
};

// The boxes a failing step shows, in order, with the result filled in.
std::vector<ConversionNotice> NoticesOf(ConversionStep step, MediaResult result);

// Failures a test asks for, by step: a planned step does none of its work
// and fails with the planned result.
class FaultPlan {
public:
    void Fail(ConversionStep step, MediaResult result = MediaResult::Fail) { failures_[step] = result; }
    std::optional<MediaResult> Planned(ConversionStep step) const;

private:
    std::map<ConversionStep, MediaResult> failures_;
};

// What the steps work on and tell.
struct StepRun {
    FrameExtractor& extractor;
    const FaultPlan& faults;
    std::function<void(ConversionStep, MediaResult)> failed;
};

// Runs the steps for the marked range at the settings' size and rate. A
// failing step of a group ends that group and the next group is still
// described; a failing step of the extractor ends the run, except that a
// clock that stays is only told. True when every step that must succeed
// did: the extractor is open and streaming may begin.
bool RunConversionSteps(const StepRun& run, const ClipSource& clip, const ConversionSettings& settings);
