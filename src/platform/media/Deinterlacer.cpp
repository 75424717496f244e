#include "platform/media/Deinterlacer.h"

#include "platform/media/FfmpegFields.h"
#include "platform/media/VideoDecoder.h"

#include <string>

namespace {

// The deinterlacer reads lines above and below and columns beside each
// pixel; smaller pictures have no fields worth the name and pass untouched.
constexpr int kSmallestWidth = 3;
constexpr int kSmallestHeight = 4;

int FieldOrder(const VideoDecoder& decoder)
{
    return StoredNumber(decoder.Stream().codecpar->field_order);
}

bool TopFieldFirst(int order)
{
    return order == AV_FIELD_TT || order == AV_FIELD_TB;
}

bool BottomFieldFirst(int order)
{
    return order == AV_FIELD_BB || order == AV_FIELD_BT;
}

// bwdif as the ffmpeg program runs it for one picture per frame. A stream
// that declares its field order is interlaced throughout, whatever its
// frames say; otherwise Automatic takes only the frames flagged interlaced.
std::string Description(Deinterlacing mode, int order)
{
    const bool everyFrame = mode == Deinterlacing::Always || TopFieldFirst(order) || BottomFieldFirst(order);
    const char* parity = TopFieldFirst(order) ? "tff" : BottomFieldFirst(order) ? "bff" : "auto";
    return std::string("bwdif=mode=send_frame:parity=") + parity + ":deint=" + (everyFrame ? "all" : "interlaced");
}

} // namespace

void Deinterlacer::Reset()
{
    chain_.Reset();
    inside_.clear();
    ready_.clear();
    ended_ = started_ = false;
}

MediaResult Deinterlacer::Next(VideoDecoder& decoder, AVFrame& frame, MediaTime& time, const std::atomic<bool>& stop)
{
    if (!incoming_)
        return MediaResult::OutOfMemory;
    for (;;) {
        if (TakeReady(frame, time))
            return MediaResult::Ok;
        if (ended_)
            return MediaResult::False;
        MediaTime decodedTime = 0;
        const MediaResult decoded = decoder.Next(*incoming_, decodedTime, stop);
        if (decoded == MediaResult::False) {
            ended_ = true;
            if (const MediaResult drained = Drain(); Failed(drained))
                return drained;
            continue;
        }
        if (decoded != MediaResult::Ok)
            return decoded;
        if (!chain_.Built() && !Wanted(decoder, *incoming_)) {
            // The common case, a progressive frame: handed on as it is.
            av_frame_unref(&frame);
            av_frame_move_ref(&frame, incoming_.get());
            time = decodedTime;
            return MediaResult::Ok;
        }
        if (const MediaResult taken = Take(decoder, decodedTime); Failed(taken))
            return taken;
    }
}

bool Deinterlacer::NeedsEveryFrame(const VideoDecoder& decoder) const
{
    switch (mode_) {
    case Deinterlacing::Off:
        return false;
    case Deinterlacing::Automatic:
        return started_ || TopFieldFirst(FieldOrder(decoder)) || BottomFieldFirst(FieldOrder(decoder));
    case Deinterlacing::Always:
        break;
    }
    return true;
}

bool Deinterlacer::TakeReady(AVFrame& frame, MediaTime& time)
{
    if (ready_.empty())
        return false;
    av_frame_unref(&frame);
    av_frame_move_ref(&frame, ready_.front().frame.get());
    time = ready_.front().time;
    ready_.pop_front();
    return true;
}

bool Deinterlacer::Wanted(const VideoDecoder& decoder, const AVFrame& frame) const
{
    if (mode_ == Deinterlacing::Off || frame.width < kSmallestWidth || frame.height < kSmallestHeight)
        return false;
    const int order = FieldOrder(decoder);
    return mode_ == Deinterlacing::Always || chain_.Built() || frame.interlaced_frame || TopFieldFirst(order) ||
           BottomFieldFirst(order);
}

// Passes the incoming frame through the chain, or past it in order when it
// cannot be deinterlaced.
MediaResult Deinterlacer::Take(const VideoDecoder& decoder, MediaTime time)
{
    const bool wanted = Wanted(decoder, *incoming_);
    const Shape shape{incoming_->width, incoming_->height, incoming_->format};
    if (chain_.Built() && (!wanted || shape != shape_))
        if (const MediaResult drained = Drain(); Failed(drained))
            return drained;
    if (!wanted) {
        FrameHandle passed(av_frame_alloc());
        if (!passed)
            return MediaResult::OutOfMemory;
        av_frame_move_ref(passed.get(), incoming_.get());
        ready_.push_back(Ready{std::move(passed), time});
        return MediaResult::Ok;
    }
    if (!chain_.Built())
        if (const MediaResult started = Start(decoder, *incoming_); Failed(started))
            return started;
    inside_.push_back(time);
    if (const MediaResult pushed = chain_.Push(*incoming_); Failed(pushed))
        return pushed;
    return Collect();
}

MediaResult Deinterlacer::Start(const VideoDecoder& decoder, const AVFrame& frame)
{
    shape_ = Shape{frame.width, frame.height, frame.format};
    inside_.clear();
    started_ = true;
    return chain_.Build(frame, Description(mode_, FieldOrder(decoder)));
}

// Moves the pictures the chain has made to the ready ones, each with the
// time of the frame it was made from.
MediaResult Deinterlacer::Collect()
{
    for (;;) {
        FrameHandle picture(av_frame_alloc());
        if (!picture)
            return MediaResult::OutOfMemory;
        const MediaResult pulled = chain_.Pull(*picture);
        if (pulled == MediaResult::False || pulled == MediaResult::EndOfData)
            return MediaResult::Ok;
        if (Failed(pulled))
            return pulled;
        if (inside_.empty())
            return MediaResult::DecodeFault; // never more pictures than frames
        ready_.push_back(Ready{std::move(picture), inside_.front()});
        inside_.pop_front();
    }
}

// Lets the chain give up the frames it holds back, then lets it go.
MediaResult Deinterlacer::Drain()
{
    if (!chain_.Built())
        return MediaResult::Ok;
    MediaResult drained = chain_.PushEnd();
    if (Succeeded(drained))
        drained = Collect();
    chain_.Reset();
    inside_.clear();
    return drained;
}
