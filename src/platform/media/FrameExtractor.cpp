#include "platform/media/FrameExtractor.h"

#include "platform/media/FrameSchedule.h"
#include "platform/media/PictureChain.h"
#include "platform/media/VideoDecoder.h"

#include <cmath>
#include <limits>
#include <utility>

bool DrawableSize(int width, int height)
{
    return width > 0 && height > 0;
}

bool DrawableRate(double fps)
{
    return std::isfinite(fps) && fps > 0.0;
}

bool DrawableStretch(MediaTime start, MediaTime stop)
{
    return start >= 0 && stop > start;
}

namespace {

bool Drawable(const ExtractionPlan& plan)
{
    return !plan.path.empty() && DrawableStretch(plan.start, plan.stop) && DrawableSize(plan.width, plan.height) &&
           DrawableRate(plan.fps);
}

} // namespace

class FrameExtractor::Drawing final {
public:
    Drawing(const ExtractionPlan& plan, std::unique_ptr<SourceReader> reader)
        : plan_(plan), reader_(std::move(reader))
    {
    }

    std::int64_t PictureFrameCount() const
    {
        std::int64_t shown = 0;
        for (std::int64_t k = 0, count = OutputFrames(); k < count; ++k)
            shown += BeforeFirstPicture(MediaTimeOf(k)) ? 0 : 1;
        return shown;
    }

    std::int64_t FramesDecoded() const { return reader_->FramesDecoded(); }

    MediaResult StreamFrames(FrameSink& sink, const std::atomic<bool>& stop)
    {
        reader_->Rewind();
        keptAhead_ = {-1};
        for (std::int64_t k = 0, count = OutputFrames(); k < count; ++k) {
            if (stop)
                return MediaResult::Aborted;
            if (const MediaResult rendered = RenderFrame(k, sink, stop); Failed(rendered))
                return rendered;
        }
        return MediaResult::Ok;
    }

private:
    // Decodes up to the picture output frame k shows and, when the sink
    // keeps it, draws it and hands it over.
    MediaResult RenderFrame(std::int64_t k, FrameSink& sink, const std::atomic<bool>& stop);
    KeptInstants KeptInstantsFrom(std::int64_t k, const FrameSink& sink);
    std::vector<std::int64_t> NextKeptFrames(std::int64_t k, const FrameSink& sink) const;
    std::int64_t OutputFrames() const { return OutputFrameCount(plan_.stop - plan_.start, plan_.fps); }
    // The instant of the file whose picture output frame k shows.
    MediaTime MediaTimeOf(std::int64_t k) const { return plan_.start + OutputFramePick(k, plan_.fps); }
    // Whether that instant lies at or before the clip's first picture.
    bool BeforeFirstPicture(MediaTime t) const { return t <= reader_->FirstPictureTime(); }

    ExtractionPlan plan_;
    std::unique_ptr<SourceReader> reader_;
    PictureChain pictures_;
    std::vector<std::int64_t> keptAhead_{-1}; // output frames the sink keeps next, as foreseen
};

MediaResult FrameExtractor::Drawing::RenderFrame(std::int64_t k, FrameSink& sink, const std::atomic<bool>& stop)
{
    const MediaTime t = MediaTimeOf(k);
    // Before its stream begins (a picture that starts after the sound, a
    // stream cut in the middle of a group of pictures) the clip shows
    // nothing: no frame, rather than a copy of its first picture.
    if (BeforeFirstPicture(t))
        return MediaResult::Ok;
    const AVFrame* picture = nullptr;
    if (const MediaResult found = reader_->FrameBefore(t, KeptInstantsFrom(k, sink), picture, stop);
        found != MediaResult::Ok)
        return found;
    if (!sink.KeepsFrame())
        return MediaResult::Ok;
    DrawnPicture drawn;
    if (const MediaResult result =
            pictures_.Draw(*picture, reader_->Orientation(), plan_.keepAspect, plan_.processing.toneMapHdr,
                           sink.Layout(), plan_.width, plan_.height, drawn);
        Failed(result))
        return result;
    const MediaTime time = OutputFrameTime(k, plan_.fps);
    sink.SampleCB(static_cast<double>(time) / kMediaUnitsPerSecond, std::move(drawn));
    return MediaResult::Ok;
}

// The instants of the clip at which the next kept output frames are taken,
// from output frame k on, ending with the end of time once no more are kept.
// A frame the clip does not answer for (its stream has ended) is not asked
// about, so a kept frame is then later than foreseen: more is decoded,
// never less.
KeptInstants FrameExtractor::Drawing::KeptInstantsFrom(std::int64_t k, const FrameSink& sink)
{
    if (sink.FramesBeforeKept(0) < 0)
        return {};
    if (k > keptAhead_.front())
        keptAhead_ = NextKeptFrames(k, sink);
    KeptInstants instants;
    for (const std::int64_t kept : keptAhead_)
        instants.push_back(kept < OutputFrames() ? MediaTimeOf(kept) : std::numeric_limits<MediaTime>::max());
    return instants;
}

// The output frames, from k on, that the sink keeps next: as many as the
// decoder reads ahead at most, then the frame count when none is left.
std::vector<std::int64_t> FrameExtractor::Drawing::NextKeptFrames(std::int64_t k, const FrameSink& sink) const
{
    constexpr std::int64_t kForeseen = 8;
    const std::int64_t count = OutputFrames();
    std::vector<std::int64_t> kept;
    std::int64_t asked = 0;
    std::int64_t next = sink.FramesBeforeKept(0);
    for (; k < count && static_cast<std::int64_t>(kept.size()) < kForeseen; ++k) {
        if (BeforeFirstPicture(MediaTimeOf(k)))
            continue;
        if (asked++ == next) {
            kept.push_back(k);
            const auto found = static_cast<std::int64_t>(kept.size());
            next = sink.FramesBeforeKept(found);
            if (next < std::numeric_limits<std::int64_t>::max())
                next += found; // the kept frames are asked about too
        }
    }
    if (static_cast<std::int64_t>(kept.size()) < kForeseen)
        kept.push_back(count);
    return kept;
}

FrameExtractor::FrameExtractor() = default;

FrameExtractor::~FrameExtractor()
{
    Stop();
}

MediaResult FrameExtractor::Open(const ExtractionPlan& plan)
{
    Close();
    if (!Drawable(plan))
        return MediaResult::InvalidArg;
    auto reader = std::make_unique<SourceReader>();
    if (const MediaResult opened = reader->Open(plan.path, plan.processing.deinterlacing); Failed(opened))
        return opened;
    drawing_ = std::make_unique<Drawing>(plan, std::move(reader));
    return MediaResult::Ok;
}

std::int64_t FrameExtractor::PictureFrameCount() const
{
    return drawing_ ? drawing_->PictureFrameCount() : 0;
}

std::int64_t FrameExtractor::FramesDecoded() const
{
    return drawing_ ? drawing_->FramesDecoded() : 0;
}

void FrameExtractor::Start(FrameSink& sink, ExtractionEnded ended)
{
    Stop();
    stop_ = false;
    thread_ = std::thread([this, &sink, ended = std::move(ended)] { Stream(sink, ended); });
}

void FrameExtractor::Stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void FrameExtractor::Close()
{
    Stop();
    drawing_.reset();
}

void FrameExtractor::Stream(FrameSink& sink, const ExtractionEnded& ended)
{
    const MediaResult result = drawing_ ? drawing_->StreamFrames(sink, stop_) : MediaResult::Ok;
    if (result != MediaResult::Aborted && ended)
        ended(result); // a run stopped on request ends without a word
}
