#include "extract/TimelineBuilder.h"

#include "extract/ConversionMessages.h"
#include "extract/ConversionReporter.h"
#include "platform/media/EditingServices.h"
#include "platform/media/MediaType.h"

namespace {

using namespace ConversionMessages;

enum class TrackKind { Video, Audio };

MediaResult Reported(const ConversionReporter& reporter, const QString& text, MediaResult result)
{
    reporter.Message(text);
    return result;
}

// Adds one track holding one source that plays the marked range from timeline time 0.
MediaResult AddSourceTrack(Timeline& timeline, const ConversionReporter& reporter, TimelineNode group,
                           const QString& path, const ClipSource& clip, int stretchMode, TrackKind kind)
{
    const TrackTexts& texts = kind == TrackKind::Video ? kVideoTrack : kAudioTrack;
    TimelineNode track = 0;
    TimelineNode source = 0;
    MediaResult result = timeline.CreateEmptyNode(TimelineNodeKind::Track, track);
    if (Failed(result))
        return Reported(reporter, texts.createTrack, result);
    if (result = timeline.VTrackInsBefore(group, track, -1); Failed(result))
        return Reported(reporter, texts.insertTrack, result);
    if (result = timeline.CreateEmptyNode(TimelineNodeKind::Source, source); Failed(result))
        return Reported(reporter, texts.createSource, result);

    const MediaResult startStop = timeline.SetStartStop(source, 0, clip.markEnd - clip.markStart);
    const MediaResult mediaTimes = timeline.SetMediaTimes(source, clip.markStart, clip.markEnd);
    if (kind == TrackKind::Audio && Failed(mediaTimes))
        return Reported(reporter, texts.setMediaTimes, MediaResult::Fail);
    const MediaResult name = timeline.SetMediaName(source, path.toStdString());
    if (kind == TrackKind::Audio && Failed(name))
        return Reported(reporter, texts.configureSource, MediaResult::Fail);
    if (kind == TrackKind::Video) {
        const MediaResult stretch = timeline.SetStretchMode(source, stretchMode);
        if (Failed(name))
            return Reported(reporter, texts.configureSource, MediaResult::Fail);
        for (const MediaResult step : {startStop, mediaTimes, stretch})
            if (Failed(step))
                return Reported(reporter, texts.configureSource, step);
    }
    if (result = timeline.SrcAdd(track, source); Failed(result))
        return Reported(reporter, texts.addSource, result);
    return MediaResult::Ok;
}

} // namespace

MediaResult AddVideoGroup(Timeline& timeline, const ConversionReporter& reporter, const ClipSource& clip, const ConversionSettings& settings)
{
    TimelineNode group = 0;
    MediaResult result = timeline.CreateEmptyNode(TimelineNodeKind::Group, group);
    if (Failed(result))
        return Reported(reporter, kNoEmptyNode, result);
    // The group's pictures: their format, then how the sources' pictures are treated on their way there.
    result = timeline.SetMediaType(group, Rgb24VideoType(settings.outputWidth, settings.outputHeight));
    if (Succeeded(result))
        result = timeline.SetVideoProcessing(group, ProcessingOf(settings));
    if (Failed(result))
        return Reported(reporter, kVideoGroupType, result);
    if (result = timeline.SetOutputFPS(group, settings.frameRate); Failed(result))
        return Reported(reporter, kOutputFps, result);
    if (result = timeline.AddGroup(group); Failed(result))
        return Reported(reporter, kAddVideoGroup, result);
    return AddSourceTrack(timeline, reporter, group, clip.videoPath, clip, settings.resizeMode, TrackKind::Video);
}

MediaResult AddAudioGroup(Timeline& timeline, const ConversionReporter& reporter, const ClipSource& clip, const ConversionSettings& settings)
{
    TimelineNode group = 0;
    MediaResult result = timeline.CreateEmptyNode(TimelineNodeKind::Group, group);
    if (Failed(result))
        return Reported(reporter, kNoAudioGroupNode, result);
    if (result = timeline.SetMediaType(group, AudioGroupType()); Failed(result))
        return Reported(reporter, kAudioGroupType, result);
    if (result = timeline.AddGroup(group); Failed(result))
        return Reported(reporter, kAddAudioGroup, result);
    return AddSourceTrack(timeline, reporter, group, clip.audioPath, clip, settings.resizeMode, TrackKind::Audio);
}

std::unique_ptr<Timeline> BuildTimeline(EditingServices& services, const ConversionReporter& reporter,
                                        const ClipSource& clip, const ConversionSettings& settings)
{
    std::unique_ptr<Timeline> timeline;
    if (Failed(services.CreateTimeline(timeline)) || !timeline) {
        reporter.MessageWithCaption(kNoTimeline, kError);
        return nullptr;
    }
    if (clip.videoItemCount > 0)
        AddVideoGroup(*timeline, reporter, clip, settings);
    if (clip.audioItemCount > 0)
        AddAudioGroup(*timeline, reporter, clip, settings);
    timeline->ValidateSourceNames(SFN_VALIDATEF_CHECK | SFN_VALIDATEF_POPUP | SFN_VALIDATEF_REPLACE);
    return timeline;
}
