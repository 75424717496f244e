#include "platform/media/MpvPlaybackGraph.h"

#include <mpv/client.h>

#include <QPointer>

#include <cmath>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

namespace {

// Ids of the answers the graph waits for; the observed properties are told
// apart by their index instead.
enum Reply : std::uint64_t { kReplyNone, kReplyLoad, kReplyTracks, kReplyStepFrom, kReplySeek, kReplyLanded };

// A phase that has not ended by then is taken as ended (a broken file).
constexpr int kPhaseLimitMilliseconds = 5000;
// Less than a frame at any rate a video has, more than mpv's 5 ms of leeway.
constexpr double kStepPastSeconds = 0.006;

MediaTime FromSeconds(double seconds)
{
    return std::llround(seconds * kMediaUnitsPerSecond);
}

MediaResult Result(int error)
{
    if (error >= 0)
        return MediaResult::Ok;
    if (error == MPV_ERROR_NOMEM)
        return MediaResult::OutOfMemory;
    return MediaResult::Fail;
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

const mpv_node* Find(const mpv_node& map, const char* key)
{
    if (map.format != MPV_FORMAT_NODE_MAP)
        return nullptr;
    const mpv_node_list& list = *map.u.list;
    for (int i = 0; i < list.num; ++i)
        if (std::strcmp(list.keys[i], key) == 0)
            return &list.values[i];
    return nullptr;
}

// A video track that is a moving picture: a cover picture of a sound file is not.
bool IsPicture(const mpv_node& track)
{
    const mpv_node* type = Find(track, "type");
    const mpv_node* albumArt = Find(track, "albumart");
    return type && type->format == MPV_FORMAT_STRING && std::strcmp(type->u.string, "video") == 0 &&
           !(albumArt && albumArt->format == MPV_FORMAT_FLAG && albumArt->u.flag);
}

// The turn of the file's first picture track, in degrees; none without one.
std::optional<std::int64_t> PictureRotation(const mpv_node& tracks)
{
    if (tracks.format != MPV_FORMAT_NODE_ARRAY)
        return std::nullopt;
    const mpv_node_list& list = *tracks.u.list;
    for (int i = 0; i < list.num; ++i) {
        if (!IsPicture(list.values[i]))
            continue;
        const mpv_node* rotation = Find(list.values[i], "demux-rotation");
        return rotation && rotation->format == MPV_FORMAT_INT64 ? rotation->u.int64 : 0;
    }
    return std::nullopt;
}

// The conversion's deinterlacer, one picture per frame. mpv takes a filter
// it cannot run (on a picture under 3 columns or 4 lines) out of the chain
// and plays on.
const char* LookFilters(Deinterlacing deinterlacing)
{
    switch (deinterlacing) {
    case Deinterlacing::Automatic: return "lavfi=[bwdif=mode=send_frame:deint=interlaced]";
    case Deinterlacing::Always: return "lavfi=[bwdif=mode=send_frame:deint=all]";
    case Deinterlacing::Off: break;
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

const MpvPlaybackGraph::ObservedProperty MpvPlaybackGraph::kObservedProperties[] = {
    {"duration", MPV_FORMAT_DOUBLE, &MpvPlaybackGraph::DurationChanged},
    {"time-pos", MPV_FORMAT_DOUBLE, &MpvPlaybackGraph::TimePosChanged},
    {"eof-reached", MPV_FORMAT_FLAG, &MpvPlaybackGraph::EofChanged},
    // The size as decoded, or as the container says until a picture is decoded.
    {"width", MPV_FORMAT_INT64, &MpvPlaybackGraph::WidthChanged},
    {"height", MPV_FORMAT_INT64, &MpvPlaybackGraph::HeightChanged},
    // The source's colours, as mpv names them ("pq", "bt.2020").
    {"video-params/gamma", MPV_FORMAT_STRING, &MpvPlaybackGraph::TransferChanged},
    {"video-params/primaries", MPV_FORMAT_STRING, &MpvPlaybackGraph::PrimariesChanged},
};

void MpvDestroyer::operator()(mpv_handle* handle) const
{
    mpv_terminate_destroy(handle);
}

CreatedPlaybackGraph MpvPlaybackServices::CreatePlaybackGraph()
{
    MpvHandle mpv(mpv_create());
    if (!mpv)
        return {nullptr, MediaResult::Fail};
    if (const MediaResult configured = Configure(mpv.get(), output_); Failed(configured))
        return {nullptr, configured};
    if (const MediaResult started = Result(mpv_initialize(mpv.get())); Failed(started))
        return {nullptr, started};
    return {std::make_unique<MpvPlaybackGraph>(std::move(mpv), output_), MediaResult::Ok};
}

MpvPlaybackGraph::MpvPlaybackGraph(MpvHandle handle, PlaybackOutput output) : mpv_(std::move(handle)), output_(output)
{
    limit_.setSingleShot(true);
    limit_.setInterval(kPhaseLimitMilliseconds);
    connect(&limit_, &QTimer::timeout, this, &MpvPlaybackGraph::LimitReached);
    for (std::size_t i = 0; i < std::size(kObservedProperties); ++i)
        mpv_observe_property(mpv_.get(), i, kObservedProperties[i].name,
                             static_cast<mpv_format>(kObservedProperties[i].format));
    mpv_set_wakeup_callback(mpv_.get(), &MpvPlaybackGraph::Wakeup, this);
}

MpvPlaybackGraph::~MpvPlaybackGraph()
{
    // Once this returns no wake-up runs or comes; one already posted is
    // dropped with this object.
    mpv_set_wakeup_callback(mpv_.get(), nullptr, nullptr);
}

// On mpv's threads: one posted drain takes every event waiting.
void MpvPlaybackGraph::Wakeup(void* graph)
{
    auto* self = static_cast<MpvPlaybackGraph*>(graph);
    if (!self->drainPosted_.exchange(true))
        QMetaObject::invokeMethod(self, &MpvPlaybackGraph::DrainEvents, Qt::QueuedConnection);
}

// An event lives until the next is taken, so each is read whole before a
// signal lets other code run.
void MpvPlaybackGraph::DrainEvents()
{
    drainPosted_ = false;
    const QPointer<MpvPlaybackGraph> self(this);
    while (self) {
        const mpv_event* event = mpv_wait_event(mpv_.get(), 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        Handle(*event);
    }
}

void MpvPlaybackGraph::Handle(const mpv_event& event)
{
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE: return PropertyChanged(event);
    case MPV_EVENT_FILE_LOADED: return FileLoaded();
    case MPV_EVENT_GET_PROPERTY_REPLY: return PropertyRead(event);
    case MPV_EVENT_COMMAND_REPLY: return CommandReplied(event);
    case MPV_EVENT_PLAYBACK_RESTART: return PictureShown();
    case MPV_EVENT_END_FILE: return FileEnded();
    default: return;
    }
}

void MpvPlaybackGraph::PropertyChanged(const mpv_event& event)
{
    const auto& property = *static_cast<const mpv_event_property*>(event.data);
    if (event.reply_userdata >= std::size(kObservedProperties))
        return;
    const ObservedProperty& observed = kObservedProperties[event.reply_userdata];
    // A property that is unavailable for now (no file, an output being rebuilt) keeps its last value.
    if (property.format == observed.format)
        (this->*observed.changed)(property.data);
}

void MpvPlaybackGraph::DurationChanged(const void* value)
{
    Q_EMIT LengthChanged(FromSeconds(*static_cast<const double*>(value)));
}

void MpvPlaybackGraph::TimePosChanged(const void* value)
{
    position_ = FromSeconds(*static_cast<const double*>(value));
    Q_EMIT PositionChanged(position_);
}

void MpvPlaybackGraph::EofChanged(const void* value)
{
    if (*static_cast<const int*>(value))
        Q_EMIT EndOfFile();
}

void MpvPlaybackGraph::WidthChanged(const void* value)
{
    decoded_.setWidth(static_cast<int>(*static_cast<const std::int64_t*>(value)));
    EmitVideoSize();
}

void MpvPlaybackGraph::HeightChanged(const void* value)
{
    decoded_.setHeight(static_cast<int>(*static_cast<const std::int64_t*>(value)));
    EmitVideoSize();
}

void MpvPlaybackGraph::TransferChanged(const void* value)
{
    sourceTransfer_ = *static_cast<char* const*>(value);
    ApplyDisplay();
}

void MpvPlaybackGraph::PrimariesChanged(const void* value)
{
    sourcePrimaries_ = *static_cast<char* const*>(value);
    ApplyDisplay();
}

void MpvPlaybackGraph::EmitVideoSize()
{
    if (!opened_ || !hasVideo_ || decoded_.isEmpty())
        return;
    const QSize shown = rotation_ % 180 != 0 ? decoded_.transposed() : decoded_;
    if (shown == shown_)
        return;
    shown_ = shown;
    Q_EMIT VideoSizeChanged(shown);
}

void MpvPlaybackGraph::FileLoaded()
{
    fileLoaded_ = true;
    SetPhase(Phase::Opening);
    if (mpv_get_property_async(mpv_.get(), kReplyTracks, "track-list", MPV_FORMAT_NODE) < 0)
        TracksRead(mpv_event_property{});
}

void MpvPlaybackGraph::TracksRead(const mpv_event_property& tracks)
{
    const std::optional<std::int64_t> rotation =
        tracks.format == MPV_FORMAT_NODE ? PictureRotation(*static_cast<const mpv_node*>(tracks.data)) : std::nullopt;
    opened_ = true;
    hasVideo_ = rotation.has_value();
    rotation_ = rotation.value_or(0);
    Q_EMIT Opened(hasVideo_);
    EmitVideoSize();
    StartNextRequest();
}

void MpvPlaybackGraph::PropertyRead(const mpv_event& event)
{
    const auto& property = *static_cast<const mpv_event_property*>(event.data);
    const bool read = event.error >= 0 && property.format == MPV_FORMAT_DOUBLE;
    const double seconds = read ? *static_cast<const double*>(property.data) : 0.0;
    switch (event.reply_userdata) {
    case kReplyTracks:
        return TracksRead(property);
    case kReplyStepFrom:
        // Forward, an exact seek just past the picture on screen shows the
        // next one: mpv takes the first picture from the target on.
        if (phase_ == Phase::ReadingStart)
            read ? SendSeek(FromSeconds(seconds + kStepPastSeconds)) : RequestDone();
        return;
    case kReplyLanded:
        if (phase_ != Phase::ReadingLanded)
            return;
        if (read) {
            position_ = FromSeconds(seconds);
            Q_EMIT PositionChanged(position_);
        }
        return RequestDone();
    default:
        return;
    }
}

void MpvPlaybackGraph::CommandReplied(const mpv_event& event)
{
    if (event.reply_userdata == kReplyLoad && event.error < 0)
        return FileEnded();
    if (event.reply_userdata != kReplySeek || phase_ != Phase::Seeking)
        return;
    seekTaken_ = true;
    // A seek mpv refused leaves the picture where it is.
    if (event.error < 0)
        ReadLanded();
}

// Playback restarts once the file's first picture, or a seek's, is on screen.
void MpvPlaybackGraph::PictureShown()
{
    if (phase_ == Phase::Opening) {
        SetPhase(Phase::Idle);
        StartNextRequest();
    } else if (phase_ == Phase::Seeking && seekTaken_) {
        ReadLanded();
    }
}

// Before the file was loaded it could not be opened; after, it was closed
// under playback (a read error), and what waits cannot land.
void MpvPlaybackGraph::FileEnded()
{
    const bool waiting = !requests_.empty() || (phase_ != Phase::Idle && phase_ != Phase::Opening);
    requests_.clear();
    if (!fileLoaded_) {
        SetPhase(Phase::Idle);
        if (!std::exchange(openFailed_, true))
            Q_EMIT OpenFailed();
    } else if (waiting) {
        RequestDone();
    } else {
        SetPhase(Phase::Idle);
    }
}

void MpvPlaybackGraph::SetPhase(Phase phase)
{
    phase_ = phase;
    if (phase == Phase::Idle)
        limit_.stop();
    else
        limit_.start();
}

void MpvPlaybackGraph::Open(const std::string& path)
{
    fileLoaded_ = openFailed_ = opened_ = false;
    phase_ = Phase::Opening; // limited once the file is loaded
    requests_.clear();
    const char* command[] = {"loadfile", path.c_str(), "replace", nullptr};
    if (mpv_command_async(mpv_.get(), kReplyLoad, command) < 0)
        QMetaObject::invokeMethod(this, &MpvPlaybackGraph::FileEnded, Qt::QueuedConnection);
}

void MpvPlaybackGraph::Run()
{
    int paused = 0;
    mpv_set_property_async(mpv_.get(), kReplyNone, "pause", MPV_FORMAT_FLAG, &paused);
}

void MpvPlaybackGraph::Pause()
{
    int paused = 1;
    mpv_set_property_async(mpv_.get(), kReplyNone, "pause", MPV_FORMAT_FLAG, &paused);
}

// The user's latest target makes the seeks and steps still waiting moot.
void MpvPlaybackGraph::Seek(MediaTime position)
{
    requests_.clear();
    requests_.emplace_back(position);
    StartNextRequest();
}

void MpvPlaybackGraph::StepFrame(FrameStep step)
{
    requests_.emplace_back(step);
    StartNextRequest();
}

void MpvPlaybackGraph::StartNextRequest()
{
    if (phase_ != Phase::Idle || !opened_ || requests_.empty())
        return;
    const Request request = requests_.front();
    requests_.pop_front();
    if (const auto* target = std::get_if<MediaTime>(&request))
        return SendSeek(*target);
    // Without a picture there is nothing to step to; where the sound is is read all the same.
    if (!hasVideo_)
        return ReadLanded();
    if (std::get<FrameStep>(request) == FrameStep::Back) {
        const char* command[] = {"frame-back-step", nullptr};
        return SendSeekCommand(command);
    }
    SetPhase(Phase::ReadingStart);
    if (mpv_get_property_async(mpv_.get(), kReplyStepFrom, "time-pos", MPV_FORMAT_DOUBLE) < 0)
        EndLater();
}

void MpvPlaybackGraph::SendSeek(MediaTime position)
{
    const std::string seconds = std::to_string(static_cast<double>(position) / kMediaUnitsPerSecond);
    const char* command[] = {"seek", seconds.c_str(), "absolute+exact", nullptr};
    SendSeekCommand(command);
}

void MpvPlaybackGraph::SendSeekCommand(const char** command)
{
    SetPhase(Phase::Seeking);
    seekTaken_ = false;
    if (mpv_command_async(mpv_.get(), kReplySeek, command) < 0)
        ReadLanded();
}

void MpvPlaybackGraph::ReadLanded()
{
    SetPhase(Phase::ReadingLanded);
    if (mpv_get_property_async(mpv_.get(), kReplyLanded, "time-pos", MPV_FORMAT_DOUBLE) < 0)
        EndLater();
}

// A request mpv did not take ends all the same, once the caller is done:
// the graph signals only from its event handling.
void MpvPlaybackGraph::EndLater()
{
    QMetaObject::invokeMethod(this, &MpvPlaybackGraph::RequestDone, Qt::QueuedConnection);
}

// The request has landed: the next is sent, or the owner hears that all have.
void MpvPlaybackGraph::RequestDone()
{
    SetPhase(Phase::Idle);
    if (requests_.empty())
        Q_EMIT SeekFinished(position_);
    else
        StartNextRequest();
}

void MpvPlaybackGraph::LimitReached()
{
    if (phase_ == Phase::Opening) {
        SetPhase(Phase::Idle);
        StartNextRequest();
    } else if (phase_ == Phase::Seeking) {
        ReadLanded();
    } else {
        RequestDone();
    }
}

void MpvPlaybackGraph::SetVideoWindow(NativeWindowId window)
{
    if (output_ == PlaybackOutput::Headless)
        return;
    auto id = static_cast<std::int64_t>(window);
    mpv_set_property_async(mpv_.get(), kReplyNone, "wid", MPV_FORMAT_INT64, &id);
    // A new output list makes mpv open its output again, now in the window.
    const char* outputs = window ? "gpu,x11,null" : "null";
    mpv_set_property_async(mpv_.get(), kReplyNone, "vo", MPV_FORMAT_STRING, &outputs);
}

// mpv ignores a value it already has; new filters refilter the picture on
// screen and keep the position.
void MpvPlaybackGraph::SetProcessing(const VideoProcessing& processing)
{
    processing_ = processing;
    const char* filters = LookFilters(processing.deinterlacing);
    mpv_set_property_async(mpv_.get(), kReplyNone, "vf", MPV_FORMAT_STRING, &filters);
    ApplyDisplay();
}

void MpvPlaybackGraph::ApplyDisplay()
{
    const LookDisplay display = LookDisplayFor(processing_.toneMapHdr, sourceTransfer_, sourcePrimaries_);
    const std::pair<const char*, const std::string&> settings[] = {
        {"target-peak", display.peak}, {"target-trc", display.transfer}, {"target-prim", display.primaries}};
    for (const auto& [name, value] : settings) {
        const char* text = value.c_str();
        mpv_set_property_async(mpv_.get(), kReplyNone, name, MPV_FORMAT_STRING, &text);
    }
}
