#include "platform/media/MpvPlaybackGraph.h"

#include <mpv/client.h>

#include <chrono>
#include <cmath>
#include <string>
#include <utility>

namespace {

constexpr std::uint64_t kEofObserver = 1;
constexpr std::uint64_t kTransferObserver = 2;
constexpr double kLoadTimeoutSeconds = 15.0;
// A seek that has not landed by then is taken as done (a broken file).
constexpr double kSeekTimeoutSeconds = 5.0;
// Less than a frame at any rate a video has, more than mpv's 5 ms of leeway.
constexpr double kStepPastSeconds = 0.006;

struct MpvFreer {
    void operator()(char* text) const { mpv_free(text); }
};
using MpvText = std::unique_ptr<char, MpvFreer>;

MediaResult Result(int error)
{
    if (error >= 0)
        return MediaResult::Ok;
    if (error == MPV_ERROR_NOMEM)
        return MediaResult::OutOfMemory;
    if (error == MPV_ERROR_PROPERTY_UNAVAILABLE)
        return MediaResult::WrongState;
    return MediaResult::Fail;
}

std::chrono::steady_clock::time_point Deadline(double seconds)
{
    return std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                  std::chrono::duration<double>(seconds));
}

MediaResult SetOption(mpv_handle* mpv, const char* name, const char* value)
{
    return Result(mpv_set_option_string(mpv, name, value));
}

// Options common to every graph: nothing from the user's mpv set-up, no
// keys or mouse of its own (the preview window handles them), exact seeks,
// and a file that stays open, paused, at its end. Exact seeks start the
// demuxer a second early, as containers such as program streams land after
// the target otherwise.
MediaResult Configure(mpv_handle* mpv, PlaybackOutput output)
{
    const bool headless = output == PlaybackOutput::Headless;
    const std::pair<const char*, const char*> options[] = {
        {"config", "no"},           {"load-scripts", "no"},   {"ytdl", "no"},
        {"osc", "no"},              {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"}, {"input-cursor", "no"},  {"cursor-autohide", "no"},
        {"keep-open", "yes"},       {"pause", "yes"},         {"hr-seek", "yes"},
        {"hr-seek-demuxer-offset", "1"},   {"audio-fallback-to-null", "yes"}, {"hwdec", "no"},
        // Until a window is given the picture goes nowhere, so mpv never opens a window of its own.
        {"vo", "null"}, {"ao", headless ? "null" : ""},
        // A display without a GPU (a software OpenGL such as llvmpipe) still
        // draws the picture; mpv refuses it otherwise and falls back to
        // outputs that stay black in an embedded window.
        {"gpu-sw", "yes"},
        // HDR is tone-mapped as the conversion maps it: the same curve, 1:1
        // up to 0.7 of SDR white, on the largest of the three colour values,
        // from the peak the stream states rather than one measured frame by
        // frame. Nothing else is tone-mapped, so these leave SDR pictures alone.
        {"tone-mapping", "mobius"}, {"tone-mapping-param", "0.7"}, {"tone-mapping-mode", "max"},
        {"hdr-compute-peak", "no"},
    };
    for (const auto& [name, value] : options)
        if (*value)
            if (const MediaResult result = SetOption(mpv, name, value); Failed(result))
                return result;
    return MediaResult::Ok;
}

std::string PropertyText(const mpv_event_property& property)
{
    return property.format == MPV_FORMAT_STRING ? *static_cast<char* const*>(property.data) : std::string();
}

// The conversion's deinterlacer, one picture per frame. mpv takes a filter
// it cannot run (on a picture under 3 columns or 4 lines) out of the chain
// and plays on.
const char* LookFilters(PlaybackProcessing::Deinterlace deinterlace)
{
    switch (deinterlace) {
    case PlaybackProcessing::Deinterlace::Automatic: return "lavfi=[bwdif=mode=send_frame:deint=interlaced]";
    case PlaybackProcessing::Deinterlace::Always: return "lavfi=[bwdif=mode=send_frame:deint=all]";
    case PlaybackProcessing::Deinterlace::Off: break;
    }
    return "";
}

// The display mpv draws for. These are display settings, not filters, so
// that a source's colours arriving after its first frame change nothing but
// the drawing.
struct LookDisplay {
    std::string peak;
    std::string transfer;
    std::string primaries;
};

// SDR sources are drawn as mpv draws them. For HDR, mpv puts SDR white at 203
// cd/m² of the signal and the conversion at 100: a display said to reach 100
// cd/m² makes them agree. HDR not to be tone-mapped shows its signal
// unconverted, as the pictures then do, on a display said to take that very
// signal.
LookDisplay LookDisplayFor(bool toneMapHdr, const std::string& transfer, const std::string& primaries)
{
    if (transfer != "pq" && transfer != "hlg")
        return {"auto", "auto", "auto"};
    if (toneMapHdr)
        return {"100", "auto", "auto"};
    return {"auto", transfer, primaries.empty() ? "auto" : primaries};
}

} // namespace

void MpvDestroyer::operator()(mpv_handle* handle) const
{
    mpv_terminate_destroy(handle);
}

MediaResult MpvPlaybackServices::CreatePlaybackGraph(std::unique_ptr<PlaybackGraph>& graph)
{
    MpvHandle mpv(mpv_create());
    if (!mpv)
        return MediaResult::Fail;
    if (const MediaResult configured = Configure(mpv.get(), output_); Failed(configured))
        return configured;
    if (const MediaResult started = Result(mpv_initialize(mpv.get())); Failed(started))
        return started;
    graph = std::make_unique<MpvPlaybackGraph>(std::move(mpv), output_);
    return MediaResult::Ok;
}

MpvPlaybackGraph::MpvPlaybackGraph(MpvHandle handle, PlaybackOutput output) : mpv_(std::move(handle)), output_(output)
{
    mpv_observe_property(mpv_.get(), kEofObserver, "eof-reached", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv_.get(), kTransferObserver, "video-params/gamma", MPV_FORMAT_STRING);
    mpv_set_wakeup_callback(mpv_.get(), &MpvPlaybackGraph::Wakeup, this);
}

MpvPlaybackGraph::~MpvPlaybackGraph()
{
    // No wake-up may reach this object once it is gone.
    mpv_set_wakeup_callback(mpv_.get(), nullptr, nullptr);
}

void MpvPlaybackGraph::Wakeup(void* graph)
{
    auto* self = static_cast<MpvPlaybackGraph*>(graph);
    const std::lock_guard lock(self->notifyMutex_);
    if (self->notify_)
        self->notify_();
    else
        self->wakeupMissed_ = true;
}

// mpv wakes its client once and again only after the client has read its
// events, so a wake-up that came before anyone listened is passed on now.
MediaResult MpvPlaybackGraph::SetNotify(GraphNotify notify)
{
    const std::lock_guard lock(notifyMutex_);
    notify_ = std::move(notify);
    if (notify_ && wakeupMissed_) {
        wakeupMissed_ = false;
        notify_();
    }
    return MediaResult::Ok;
}

void MpvPlaybackGraph::Translate()
{
    for (;;) {
        const mpv_event* event = mpv_wait_event(mpv_.get(), 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        Handle(*event);
    }
}

// A seek ends when playback restarts, or at the end of the file when it lies beyond.
void MpvPlaybackGraph::Handle(const mpv_event& event)
{
    if (event.event_id == MPV_EVENT_FILE_LOADED)
        loaded_ = true;
    if (event.event_id == MPV_EVENT_PLAYBACK_RESTART)
        seeking_ = false;
    if (event.event_id == MPV_EVENT_END_FILE) {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (end->reason == MPV_END_FILE_REASON_ERROR) {
            loadFailed_ = !loaded_;
            if (loaded_)
                events_.push_back(GraphEvent{EC_ERRORABORT, static_cast<long>(ResultCode(MediaResult::ReadFault)), 0});
        }
        seeking_ = false;
    }
    if (event.event_id == MPV_EVENT_PROPERTY_CHANGE && event.reply_userdata == kTransferObserver) {
        sourceTransfer_ = PropertyText(*static_cast<const mpv_event_property*>(event.data));
        const MpvText primaries(mpv_get_property_string(mpv_.get(), "video-params/primaries"));
        sourcePrimaries_ = primaries ? primaries.get() : "";
        ApplyDisplay();
    }
    if (event.event_id == MPV_EVENT_PROPERTY_CHANGE && event.reply_userdata == kEofObserver) {
        const auto* property = static_cast<const mpv_event_property*>(event.data);
        if (property->format == MPV_FORMAT_FLAG && *static_cast<const int*>(property->data)) {
            events_.push_back(GraphEvent{EC_COMPLETE, 0, 0});
            seeking_ = false;
        }
    }
}

MediaResult MpvPlaybackGraph::GetEvent(GraphEvent& event)
{
    Translate();
    if (events_.empty())
        return MediaResult::False;
    event = events_.front();
    events_.pop_front();
    return MediaResult::Ok;
}

MediaResult MpvPlaybackGraph::RenderFile(const std::string& path)
{
    const char* command[] = {"loadfile", path.c_str(), "replace", nullptr};
    loaded_ = loadFailed_ = false;
    seeking_ = true;
    if (const MediaResult sent = Result(mpv_command(mpv_.get(), command)); Failed(sent))
        return sent;
    return WaitUntilLoaded();
}

MediaResult MpvPlaybackGraph::WaitUntilLoaded()
{
    const auto deadline = Deadline(kLoadTimeoutSeconds);
    while (!loaded_ && !loadFailed_) {
        if (std::chrono::steady_clock::now() > deadline)
            return MediaResult::Timeout;
        Handle(*mpv_wait_event(mpv_.get(), 0.05));
    }
    if (!loaded_)
        return MediaResult::CannotRender;
    WaitForVideoSize(deadline);
    return MediaResult::Ok;
}

// Some containers (MPEG-4 part 2 in MP4, for one) leave the picture size to
// the decoder; mpv then knows it only once the first frame is decoded, and
// not while the output is rebuilt for a new window. It is read once here.
void MpvPlaybackGraph::WaitForVideoSize(std::chrono::steady_clock::time_point deadline)
{
    videoWidth_ = videoHeight_ = 0;
    const int track = VideoTrack();
    if (track < 0)
        return;
    const std::string prefix = "track-list/" + std::to_string(track) + "/";
    mpv_handle* mpv = mpv_.get();
    while (std::chrono::steady_clock::now() < deadline) {
        if ((mpv_get_property(mpv, (prefix + "demux-w").c_str(), MPV_FORMAT_INT64, &videoWidth_) >= 0 &&
             mpv_get_property(mpv, (prefix + "demux-h").c_str(), MPV_FORMAT_INT64, &videoHeight_) >= 0) ||
            (mpv_get_property(mpv, "width", MPV_FORMAT_INT64, &videoWidth_) >= 0 &&
             mpv_get_property(mpv, "height", MPV_FORMAT_INT64, &videoHeight_) >= 0))
            return;
        const mpv_event* next = mpv_wait_event(mpv, 0.05);
        Handle(*next);
        if (next->event_id == MPV_EVENT_END_FILE)
            break;
    }
    videoWidth_ = videoHeight_ = 0;
}

MediaResult MpvPlaybackGraph::Run()
{
    if (!loaded_)
        return MediaResult::WrongState;
    return Result(mpv_set_property_string(mpv_.get(), "pause", "no"));
}

MediaResult MpvPlaybackGraph::Pause()
{
    if (!loaded_)
        return MediaResult::WrongState;
    return Result(mpv_set_property_string(mpv_.get(), "pause", "yes"));
}

MediaResult MpvPlaybackGraph::Stop()
{
    // mpv has no stopped state that keeps the file; the player cues it at the start.
    return Pause();
}

MediaResult MpvPlaybackGraph::SetRate(double rate)
{
    if (!(rate > 0.0))
        return MediaResult::InvalidArg;
    return Result(mpv_set_property(mpv_.get(), "speed", MPV_FORMAT_DOUBLE, &rate));
}

MediaResult MpvPlaybackGraph::SetCurrentPosition(MediaTime position)
{
    if (!loaded_)
        return MediaResult::WrongState;
    const std::string seconds = std::to_string(static_cast<double>(position) / kMediaUnitsPerSecond);
    const char* command[] = {"seek", seconds.c_str(), "absolute+exact", nullptr};
    return Seek(command);
}

// Forward, an exact seek just past the picture on screen shows the next one
// (mpv takes the first frame from the target on); back, mpv knows the frame
// before. Either is a seek, so the position is read once it has landed.
MediaResult MpvPlaybackGraph::StepFrame(FrameStep step)
{
    if (!loaded_)
        return MediaResult::WrongState;
    if (VideoTrack() < 0)
        return MediaResult::NoInterface;
    if (step == FrameStep::Back) {
        const char* command[] = {"frame-back-step", nullptr};
        return Seek(command);
    }
    Settle();
    double seconds = 0;
    if (const MediaResult read = Result(mpv_get_property(mpv_.get(), "time-pos", MPV_FORMAT_DOUBLE, &seconds));
        Failed(read))
        return read;
    const std::string target = std::to_string(seconds + kStepPastSeconds);
    const char* command[] = {"seek", target.c_str(), "absolute+exact", nullptr};
    return Seek(command);
}

// mpv carries a seek out on its own threads, one at a time: the previous one
// lands before the next is asked for.
MediaResult MpvPlaybackGraph::Seek(const char** command)
{
    Settle();
    const MediaResult sent = Result(mpv_command(mpv_.get(), command));
    if (Succeeded(sent))
        seeking_ = true;
    return sent;
}

void MpvPlaybackGraph::Settle()
{
    const auto deadline = Deadline(kSeekTimeoutSeconds);
    while (seeking_ && loaded_ && std::chrono::steady_clock::now() < deadline)
        Handle(*mpv_wait_event(mpv_.get(), 0.05));
    seeking_ = false;
}

MediaResult MpvPlaybackGraph::TimeProperty(const char* name, MediaTime& time) const
{
    double seconds = 0;
    if (const MediaResult read = Result(mpv_get_property(mpv_.get(), name, MPV_FORMAT_DOUBLE, &seconds)); Failed(read))
        return read;
    time = std::llround(seconds * kMediaUnitsPerSecond);
    return MediaResult::Ok;
}

MediaResult MpvPlaybackGraph::GetCurrentPosition(MediaTime& position)
{
    Settle();
    return TimeProperty("time-pos", position);
}

MediaResult MpvPlaybackGraph::GetStopPosition(MediaTime& position)
{
    return TimeProperty("duration", position);
}

int MpvPlaybackGraph::VideoTrack() const
{
    std::int64_t count = 0;
    mpv_get_property(mpv_.get(), "track-list/count", MPV_FORMAT_INT64, &count);
    for (std::int64_t i = 0; i < count; ++i) {
        const std::string prefix = "track-list/" + std::to_string(i) + "/";
        const MpvText type(mpv_get_property_string(mpv_.get(), (prefix + "type").c_str()));
        int albumArt = 0;
        mpv_get_property(mpv_.get(), (prefix + "albumart").c_str(), MPV_FORMAT_FLAG, &albumArt);
        if (type && std::string(type.get()) == "video" && !albumArt)
            return static_cast<int>(i);
    }
    return -1;
}

MediaResult MpvPlaybackGraph::GetVideoSize(int& width, int& height)
{
    const int track = VideoTrack();
    if (track < 0)
        return MediaResult::NoInterface;
    if (videoWidth_ <= 0 || videoHeight_ <= 0)
        return MediaResult::Fail;
    std::int64_t rotation = 0;
    mpv_get_property(mpv_.get(), ("track-list/" + std::to_string(track) + "/demux-rotation").c_str(), MPV_FORMAT_INT64,
                     &rotation);
    const bool turned = rotation % 180 != 0;
    width = static_cast<int>(turned ? videoHeight_ : videoWidth_);
    height = static_cast<int>(turned ? videoWidth_ : videoHeight_);
    return MediaResult::Ok;
}

MediaResult MpvPlaybackGraph::GetVisible(bool& visible)
{
    visible = VideoTrack() >= 0;
    return visible ? MediaResult::Ok : MediaResult::NoInterface;
}

MediaResult MpvPlaybackGraph::SetVideoWindow(NativeWindowId window)
{
    if (output_ == PlaybackOutput::Headless)
        return MediaResult::Ok;
    auto id = static_cast<std::int64_t>(window);
    if (const MediaResult set = Result(mpv_set_property(mpv_.get(), "wid", MPV_FORMAT_INT64, &id)); Failed(set))
        return set;
    // A new output list makes mpv open its output again, now in the window.
    return Result(mpv_set_property_string(mpv_.get(), "vo", window ? "gpu,x11,null" : "null"));
}

MediaResult MpvPlaybackGraph::SetProcessing(const PlaybackProcessing& processing)
{
    processing_ = processing;
    // mpv ignores a value it already has; new filters refilter the picture
    // on screen and keep the position.
    if (const MediaResult set = Result(mpv_set_property_string(mpv_.get(), "vf", LookFilters(processing.deinterlace)));
        Failed(set))
        return set;
    return ApplyDisplay();
}

MediaResult MpvPlaybackGraph::ApplyDisplay()
{
    const LookDisplay display = LookDisplayFor(processing_.toneMapHdr, sourceTransfer_, sourcePrimaries_);
    const std::pair<const char*, const std::string&> settings[] = {
        {"target-peak", display.peak}, {"target-trc", display.transfer}, {"target-prim", display.primaries}};
    for (const auto& [name, value] : settings)
        if (const MediaResult set = Result(mpv_set_property_string(mpv_.get(), name, value.c_str())); Failed(set))
            return set;
    return MediaResult::Ok;
}
