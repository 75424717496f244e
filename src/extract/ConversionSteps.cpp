#include "extract/ConversionSteps.h"

#include "platform/media/FrameExtractor.h"
#include "platform/ui/ApplicationTitle.h"
#include "resources/ProductTexts.h"

#include <algorithm>
#include <optional>

namespace {

using Step = ConversionStep;

// Where a step belongs: a failure ends its group or the whole run, and a
// group the clip does not have is skipped.
enum class Phase { Timeline, PictureGroup, SoundGroup, Capture, SoundCapture };
enum class OnFailure { EndsGroup, EndsRun, GoesOn };

// How one box of a failing step reads: on the window with the program's
// title, on the window captioned "Error", a diagnostic box of its own whose
// text takes the result code in hexadecimal, or the platform's text for the
// result.
enum class Box { Message, Error, Diagnostic, ResultText };

struct Notice {
    Box box;
    const char* text = "";
};

struct StepRow {
    Step step;
    Phase phase;
    OnFailure onFailure;
    std::vector<Notice> notices;
};

const char* const kNoOutputPin = "Could not GetGroupOutputPin( g, &pPin )";
const char* const kCreateFilter = "CreateFilter: Failed to create filter!  hr=0x%1\n";
const char* const kSetCallbackFailed = "failed SetGrabberCallbackFunction();";

// Every step, in the order it runs, and what its failure shows.
const std::vector<StepRow>& Steps()
{
    using enum Phase;
    using enum OnFailure;
    using enum Box;
    static const std::vector<StepRow> steps{
        {Step::CreateTimeline, Timeline, EndsRun, {{Error, "Could not create timeline"}}},

        {Step::CreatePictureGroup, PictureGroup, EndsGroup, {{Message, "Could not create empty node"}}},
        {Step::PictureFormat, PictureGroup, EndsGroup, {{Message, "Could not pVideoGroup->SetMediaType(&mtGroup)"}}},
        {Step::OutputRate, PictureGroup, EndsGroup, {{Message, "Could not SetOutputFPS"}}},
        {Step::AddPictureGroup, PictureGroup, EndsGroup, {{Message, "Could not add video group"}}},
        {Step::CreatePictureTrack, PictureGroup, EndsGroup, {{Message, "Could not create empty track"}}},
        {Step::InsertPictureTrack, PictureGroup, EndsGroup, {{Message, "Could not insert track"}}},
        {Step::CreatePictureSource, PictureGroup, EndsGroup, {{Message, "Could not create the timeline source"}}},
        {Step::ConfigurePictureSource, PictureGroup, EndsGroup, {{Message, "Could not configure media source"}}},
        {Step::AddPictureSource, PictureGroup, EndsGroup, {{Message, "Could not add source to track"}}},

        {Step::CreateSoundGroup, SoundGroup, EndsGroup, {{Message, "Could not create pAudioGroupObj"}}},
        {Step::SoundFormat, SoundGroup, EndsGroup, {{Message, "Could not set AudioGroupType"}}},
        {Step::AddSoundGroup, SoundGroup, EndsGroup, {{Message, "Could not add audio group"}}},
        {Step::CreateSoundTrack, SoundGroup, EndsGroup, {{Message, "Could not create pTrack3Obj"}}},
        {Step::InsertSoundTrack, SoundGroup, EndsGroup, {{Message, "Could not insert pTrack3Obj"}}},
        {Step::CreateSoundSource, SoundGroup, EndsGroup, {{Message, "Could not create the pSource3Obj"}}},
        {Step::SoundTimes, SoundGroup, EndsGroup, {{Message, "Could not set audio start and eng time!"}}},
        {Step::NameSoundSource, SoundGroup, EndsGroup, {{Message, "Could not configure pSource3Src"}}},
        {Step::AddSoundSource, SoundGroup, EndsGroup, {{Message, "Could not add pSource3Obj to track"}}},

        {Step::CreateExtractor, Capture, EndsRun, {{Error, "Could not create pRenderEngine"}}},
        {Step::HandOverTimeline, Capture, EndsRun, {{Message, "Could not SetTimelineObject"}}},
        {Step::OpenClip, Capture, EndsRun, {{Message, "Could not ConnectFrontEnd"}}},
        {Step::CreateConnector, Capture, EndsRun, {{Message, "Could not create ICaptureGraphBuilder2"}}},
        {Step::FetchGraph, Capture, EndsRun, {}},
        {Step::CountGroups, Capture, EndsRun, {{Message, "Could not GetGroupCount( &Groups )"}}},
        {Step::AttachConnector, Capture, EndsRun, {{Message, "Error pBuilder->SetFiltergraph( pGraph )"}}},
        {Step::CreatePictureEnd, Capture, EndsRun,
         {{Diagnostic, kCreateFilter}, {Diagnostic, "Failed to create Null Render filter for video!  hr=0x%1\n"}}},
        {Step::AddPictureEnd, Capture, EndsRun, {{ResultText}}},
        {Step::CreateSoundEnd, Capture, EndsRun,
         {{Diagnostic, kCreateFilter}, {Diagnostic, "Failed to create Null Render filter for audio!  hr=0x%1\n"}}},
        {Step::AddSoundEnd, Capture, EndsRun, {{ResultText}}},
        {Step::PictureOutput, Capture, EndsRun, {{Message, kNoOutputPin}}},
        {Step::AddSink, Capture, EndsRun, {{ResultText}}},
        {Step::ConnectPictures, Capture, EndsRun,
         {{Message, "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pNullRenderFilterForVideo )"},
          {ResultText}}},
        {Step::SetSink, Capture, EndsRun,
         {{Diagnostic, "Failed in SetCallback!  hr=0x%1\r\n"}, {Message, kSetCallbackFailed}, {ResultText}}},
        {Step::EveryFrame, Capture, EndsRun,
         {{Diagnostic, "Failed in SetOneShot!  hr=0x%1\r\n"}, {Message, kSetCallbackFailed}, {ResultText}}},
        {Step::NoSampleCopies, Capture, EndsRun,
         {{Diagnostic, "Failed in SetBufferSamples!  hr=0x%1\r\n"}, {Message, kSetCallbackFailed}, {ResultText}}},
        {Step::ConnectedFormat, Capture, EndsRun, {{Message, kSetCallbackFailed}, {ResultText}}},
        {Step::SoundOutput, SoundCapture, EndsRun, {{Message, kNoOutputPin}}},
        {Step::ConnectSound, SoundCapture, EndsRun,
         {{Message, "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pNullRenderFilterForAudio )"},
          {ResultText}}},
        {Step::Unclocked, Capture, GoesOn,
         {{Diagnostic, "SetNoClock: Failed to set sync source!  hr=0x%1\n"}, {Message, "failed SetNoClock"},
          {ResultText}}},
        {Step::RunControl, Capture, EndsRun, {{Message, "Could not get pControl"}}},
        {Step::EventQueue, Capture, EndsRun, {{Message, "Could not get pEvent"}}},
        {Step::Notify, Capture, EndsRun, {{Message, "can not SetNotifyWindow!!!"}}},
        {Step::Run, Capture, EndsRun, {{Message, "can not pControl->Run()!!!"}, {ResultText}}},
    };
    return steps;
}

const StepRow& RowOf(Step step)
{
    const std::vector<StepRow>& steps = Steps();
    return *std::find_if(steps.begin(), steps.end(), [step](const StepRow& row) { return row.step == step; });
}

ConversionNotice NoticeOf(const Notice& notice, MediaResult result)
{
    const QString text = QString::fromLatin1(notice.text);
    switch (notice.box) {
    case Box::Message: return {true, ApplicationTitle(), text};
    case Box::Error: return {true, QStringLiteral("Error"), text};
    case Box::Diagnostic: return {false, kDiagnosticCaption, text.arg(ResultCode(result), 0, 16)};
    case Box::ResultText: break;
    }
    return {true, ApplicationTitle(), QString::fromStdString(MediaErrorText(result))};
}

// What the steps have described so far, and the extractor's plan.
class StepRunner {
public:
    StepRunner(const StepRun& run, const ClipSource& clip, const ConversionSettings& settings)
        : run_(run), clip_(clip), settings_(settings)
    {
    }

    bool Run()
    {
        std::optional<Phase> endedGroup;
        for (const StepRow& row : Steps()) {
            if (Skipped(row.phase) || row.phase == endedGroup)
                continue;
            const std::optional<MediaResult> planned = run_.faults.Planned(row.step);
            const MediaResult result = planned ? *planned : Perform(row.step);
            if (Succeeded(result))
                continue;
            run_.failed(row.step, result);
            if (row.onFailure == OnFailure::EndsRun)
                return false;
            if (row.onFailure == OnFailure::EndsGroup)
                endedGroup = row.phase;
        }
        return true;
    }

private:
    bool Skipped(Phase phase) const
    {
        switch (phase) {
        case Phase::PictureGroup: return clip_.videoItemCount <= 0;
        case Phase::SoundGroup: return clip_.audioItemCount <= 0;
        case Phase::SoundCapture: return !soundGroup_;
        default: return false;
        }
    }

    // The work of the steps that have any on this platform; the others can
    // fail only when a test plans it.
    MediaResult Perform(Step step)
    {
        switch (step) {
        case Step::PictureFormat:
            plan_.width = settings_.outputWidth;
            plan_.height = settings_.outputHeight;
            plan_.processing = ProcessingOf(settings_);
            return DrawableSize(plan_.width, plan_.height) ? MediaResult::Ok : MediaResult::InvalidArg;
        case Step::OutputRate:
            plan_.fps = settings_.frameRate;
            return DrawableRate(plan_.fps) ? MediaResult::Ok : MediaResult::InvalidArg;
        case Step::AddPictureGroup:
            ++groups_;
            pictureGroup_ = true;
            return MediaResult::Ok;
        case Step::ConfigurePictureSource:
            plan_.path = clip_.videoPath.toStdString();
            plan_.start = clip_.markStart;
            plan_.stop = clip_.markEnd;
            plan_.keepAspect = settings_.resizeMode == kResizePreserveAspectRatio;
            if (plan_.path.empty())
                return MediaResult::Fail;
            return DrawableStretch(plan_.start, plan_.stop) ? MediaResult::Ok : MediaResult::InvalidArg;
        case Step::AddPictureSource: pictureSource_ = true; return MediaResult::Ok;
        case Step::AddSoundGroup:
            ++groups_;
            soundGroup_ = true;
            return MediaResult::Ok;
        case Step::OpenClip: return pictureSource_ ? run_.extractor.Open(plan_) : MediaResult::Ok;
        case Step::CountGroups: return groups_ > 0 ? MediaResult::Ok : MediaResult::InvalidArg;
        // The first group's frames reach the sink: it must be the picture group.
        case Step::ConnectPictures: return pictureGroup_ ? MediaResult::Ok : MediaResult::CannotConnect;
        default: return MediaResult::Ok;
        }
    }

    const StepRun& run_;
    const ClipSource& clip_;
    const ConversionSettings& settings_;
    ExtractionPlan plan_;
    int groups_ = 0;
    bool pictureGroup_ = false;
    bool pictureSource_ = false;
    bool soundGroup_ = false;
};

} // namespace

std::vector<ConversionNotice> NoticesOf(ConversionStep step, MediaResult result)
{
    std::vector<ConversionNotice> notices;
    for (const Notice& notice : RowOf(step).notices)
        notices.push_back(NoticeOf(notice, result));
    return notices;
}

std::optional<MediaResult> FaultPlan::Planned(ConversionStep step) const
{
    const auto planned = failures_.find(step);
    return planned == failures_.end() ? std::nullopt : std::optional(planned->second);
}

bool RunConversionSteps(const StepRun& run, const ClipSource& clip, const ConversionSettings& settings)
{
    return StepRunner(run, clip, settings).Run();
}
