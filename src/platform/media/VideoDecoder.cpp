#include "platform/media/VideoDecoder.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <thread>
#include <utility>

namespace {

// A decoder that rejects this many packets in a row cannot go on with the file.
constexpr int kMaxDamagedInARow = 200;

// How far the file's data may stop short of the length it declares before
// the file counts as cut: containers round their lengths and streams end at
// slightly different times.
constexpr MediaTime kEndTolerance = kMediaUnitsPerSecond / 2;

// Earlier starting points tried when a seek lands after its target, as some
// containers only seek approximately; the last one is the start of the file.
constexpr MediaTime kSeekBackoffs[] = {0, kMediaUnitsPerSecond, 5 * kMediaUnitsPerSecond};

// The start times of the latest frames read that are remembered; a frame
// found among them is one of those the decoder holds for reordering. As many
// of the frames sent to the decoder are awaited at most.
constexpr std::size_t kReadTimesKept = 64;

} // namespace

MediaResult VideoDecoder::Open(const std::string& path)
{
    path_ = path;
    input_ = MediaInput{};
    codec_.reset();
    hasKept_ = draining_ = false;
    damagedInARow_ = 0;
    lastTime_ = AV_NOPTS_VALUE;
    dataEnd_ = 0;
    ForgetReadFrames();
    lookedAt_.clear();
    framesDecoded_ = 0;
    if (const MediaResult opened = OpenMediaInput(path, input_); Failed(opened))
        return opened;
    if (input_.videoStream < 0)
        return MediaResult::NoInterface;
    return OpenDecoder();
}

MediaResult VideoDecoder::OpenDecoder()
{
    const AVCodecParameters& parameters = *Stream().codecpar;
    const AVCodec* decoder = avcodec_find_decoder(parameters.codec_id);
    if (!decoder)
        return MediaResult::CannotRender;
    codec_.reset(avcodec_alloc_context3(decoder));
    packet_.reset(av_packet_alloc());
    kept_.reset(av_frame_alloc());
    if (!codec_ || !packet_ || !kept_)
        return MediaResult::OutOfMemory;
    if (avcodec_parameters_to_context(codec_.get(), &parameters) < 0)
        return MediaResult::CannotRender;
    // One thread per core: FFmpeg's own choice, one more, holds another set
    // of frames (30 MB for 4K H.264) and decodes no faster on two cores.
    codec_->thread_count = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    codec_->pkt_timebase = Stream().time_base;
    // A picture whose visible part starts between the decoder's aligned columns
    // (a Theora picture 4 pixels in) is cut exactly; otherwise the columns before
    // it stay in the frame and the picture is taken for a wider one.
    codec_->flags |= AV_CODEC_FLAG_UNALIGNED;
    return avcodec_open2(codec_.get(), decoder, nullptr) < 0 ? MediaResult::CannotRender : MediaResult::Ok;
}

MediaResult VideoDecoder::Seek(MediaTime target, const std::atomic<bool>& stop)
{
    MediaTime tried = -1;
    for (const MediaTime backoff : kSeekBackoffs) {
        const MediaTime from = std::max<MediaTime>(target - backoff, 0);
        if (from == tried)
            continue;
        tried = from;
        const MediaResult result = SeekFrom(from, stop);
        if (Failed(result) && result != MediaResult::NotImplemented)
            return result;
        if (result == MediaResult::Ok && hasKept_ && keptTime_ <= target)
            return MediaResult::Ok;
    }
    // Decoding from the very start always reaches the target.
    return Open(path_);
}

MediaResult VideoDecoder::SeekFrom(MediaTime target, const std::atomic<bool>& stop)
{
    const std::int64_t ts = MediaToStreamTime(*input_.format, Stream(), target);
    if (av_seek_frame(input_.format.get(), input_.videoStream, ts, AVSEEK_FLAG_BACKWARD) < 0)
        return MediaResult::NotImplemented;
    avcodec_flush_buffers(codec_.get());
    hasKept_ = draining_ = false;
    damagedInARow_ = 0;
    lastTime_ = AV_NOPTS_VALUE;
    // The first frame after a seek decides where the seek landed: it is always decoded.
    lookedAt_.clear();
    ForgetReadFrames();
    const MediaResult decoded = Decode(*kept_, stop);
    if (decoded == MediaResult::Ok) {
        keptTime_ = FrameTime(*kept_);
        hasKept_ = true;
    }
    return decoded == MediaResult::False ? MediaResult::Ok : decoded;
}

MediaResult VideoDecoder::Next(AVFrame& frame, MediaTime& time, const std::atomic<bool>& stop)
{
    if (hasKept_) {
        av_frame_unref(&frame);
        av_frame_move_ref(&frame, kept_.get());
        time = keptTime_;
        hasKept_ = false;
        return MediaResult::Ok;
    }
    const MediaResult decoded = Decode(frame, stop);
    if (decoded == MediaResult::Ok)
        time = FrameTime(frame);
    return decoded;
}

MediaResult VideoDecoder::Decode(AVFrame& frame, const std::atomic<bool>& stop)
{
    av_frame_unref(&frame);
    while (!stop.load(std::memory_order_relaxed)) {
        const int received = avcodec_receive_frame(codec_.get(), &frame);
        if (received == 0) {
            ++framesDecoded_;
            // Shaped as the probe measured the clip, so that its size fits the picture.
            frame.sample_aspect_ratio = SampleAspect(Stream(), frame.sample_aspect_ratio);
            return MediaResult::Ok;
        }
        if (received == AVERROR_EOF)
            return MediaResult::False;
        if (received != AVERROR(EAGAIN) && received != AVERROR_INVALIDDATA)
            return MediaResult::DecodeFault;
        if (received == AVERROR(EAGAIN))
            if (const MediaResult fed = FeedPacket(); Failed(fed))
                return fed;
    }
    return MediaResult::Aborted;
}

MediaResult VideoDecoder::FeedPacket()
{
    if (draining_)
        return MediaResult::DecodeFault; // an emptied decoder asked for more
    const int read = av_read_frame(input_.format.get(), packet_.get());
    if (read == AVERROR_EOF) {
        draining_ = true;
        return avcodec_send_packet(codec_.get(), nullptr) < 0 ? MediaResult::DecodeFault : MediaResult::Ok;
    }
    if (read == AVERROR(EAGAIN))
        return MediaResult::Ok;
    if (read < 0)
        return MediaResult::ReadFault;
    NoteDataEnd(*packet_);
    const bool picture = packet_->stream_index == input_.videoStream;
    int sent = 0;
    if (picture) {
        const bool unneeded = Unneeded(*packet_);
        // Read by the decoder for this packet only, also when it decodes on several threads.
        codec_->skip_frame = unneeded ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        sent = avcodec_send_packet(codec_.get(), packet_.get());
        leftOut_ = leftOut_ || unneeded;
        if (sent == 0 && !unneeded)
            Await(*packet_);
        lostFrame_ = lostFrame_ || sent < 0;
    }
    av_packet_unref(packet_.get());
    if (!picture)
        return MediaResult::Ok;
    if (sent == AVERROR_INVALIDDATA)
        // A damaged packet is skipped; only a long run of them ends the stream.
        return ++damagedInARow_ < kMaxDamagedInARow ? MediaResult::Ok : MediaResult::DecodeFault;
    if (sent < 0)
        return MediaResult::DecodeFault;
    damagedInARow_ = 0;
    return MediaResult::Ok;
}

MediaTime VideoDecoder::FrameTime(const AVFrame& frame)
{
    const std::int64_t ts = frame.best_effort_timestamp;
    // A frame without a timestamp follows the previous one.
    const MediaTime time = ts != AV_NOPTS_VALUE ? StreamToMediaTime(*input_.format, Stream(), ts)
                           : lastTime_ != AV_NOPTS_VALUE ? lastTime_ + NominalFrameDuration()
                                                         : 0;
    lastTime_ = time;
    if (ts != AV_NOPTS_VALUE)
        NoteCameOut(time);
    return time;
}

void VideoDecoder::ForgetReadFrames()
{
    readTimes_.clear();
    awaited_.clear();
    leftOut_ = lostFrame_ = false;
}

void VideoDecoder::Await(const AVPacket& packet)
{
    if (packet.pts == AV_NOPTS_VALUE)
        return;
    awaited_.insert(StreamToMediaTime(*input_.format, Stream(), packet.pts));
    if (awaited_.size() > kReadTimesKept) {
        // So many frames sent and none of the oldest out: they are lost.
        awaited_.erase(awaited_.begin());
        lostFrame_ = true;
    }
}

// Frames come out in the order they start; one sent earlier that starts
// before this one and has not come out never will.
void VideoDecoder::NoteCameOut(MediaTime time)
{
    const auto after = awaited_.upper_bound(time);
    const auto passed = std::distance(awaited_.begin(), after);
    lostFrame_ = lostFrame_ || passed > (awaited_.contains(time) ? 1 : 0);
    awaited_.erase(awaited_.begin(), after);
}

// Whether the packet's frame, should nothing refer to it, leaves the screen
// before any instant it is looked at. A frame stays on screen from its start
// until the next frame starts, and a frame read earlier that starts later
// starts no earlier than that. B-frames, read after the later frames they lie
// before, are the frames this finds.
bool VideoDecoder::Unneeded(const AVPacket& packet)
{
    if (packet.pts == AV_NOPTS_VALUE)
        return false;
    const MediaTime start = StreamToMediaTime(*input_.format, Stream(), packet.pts);
    const auto later = readTimes_.upper_bound(start);
    bool unneeded = false;
    if (later != readTimes_.end() && !lookedAt_.empty()) {
        // On screen for the instants after its start up to *later at the
        // latest, should the frame read at *later come out; one that does
        // not is noticed (LeftOutAroundLoss).
        const auto looked = std::upper_bound(lookedAt_.begin(), lookedAt_.end(), start);
        unneeded = *later < lookedAt_.back() && *looked > *later;
    }
    readTimes_.insert(start);
    if (readTimes_.size() > kReadTimesKept)
        readTimes_.erase(readTimes_.begin());
    return unneeded;
}

void VideoDecoder::NoteDataEnd(const AVPacket& packet)
{
    const std::int64_t ts = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    if (ts == AV_NOPTS_VALUE)
        return;
    const AVStream& stream = *input_.format->streams[packet.stream_index];
    // A damaged file may carry any numbers; their sum must not overflow.
    const std::int64_t duration = packet.duration > 0 && ts < INT64_MAX - packet.duration ? packet.duration : 0;
    const std::int64_t end = ts + duration;
    dataEnd_ = std::max(dataEnd_, StreamToMediaTime(*input_.format, stream, end));
}

bool VideoDecoder::EndedEarly() const
{
    const AVFormatContext& format = *input_.format;
    // A length guessed from the bit rate is no declaration.
    if (format.duration == AV_NOPTS_VALUE || format.duration <= 0 ||
        format.duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
        return false;
    const MediaTime declared =
        av_rescale_q(format.duration, AVRational{1, AV_TIME_BASE}, AVRational{1, static_cast<int>(kMediaUnitsPerSecond)});
    return dataEnd_ + kEndTolerance < declared;
}

MediaTime VideoDecoder::NominalFrameDuration() const
{
    AVRational rate = Stream().avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = Stream().r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        return kMediaUnitsPerSecond / 25;
    return av_rescale(kMediaUnitsPerSecond, rate.den, rate.num);
}

MediaResult SourceReader::Open(const std::string& path, Deinterlacing deinterlacing)
{
    const MediaResult opened = decoder_.Open(path);
    deinterlacer_.SetMode(deinterlacing);
    if (!current_ || !next_)
        return MediaResult::OutOfMemory;
    if (Succeeded(opened)) {
        orientation_ = StreamOrientation(decoder_.Stream());
        firstPicture_ = FindFirstPicture();
    }
    Rewind();
    return opened;
}

// The first frame the decoder gives from the start of the file: a picture
// stream may begin after the sound, and one cut in the middle of a group of
// pictures begins where the decoder can first make a whole picture.
MediaTime SourceReader::FindFirstPicture()
{
    const std::atomic<bool> never{false};
    MediaTime time = 0;
    if (decoder_.Next(*current_, time, never) != MediaResult::Ok)
        return std::numeric_limits<MediaTime>::min();
    return time;
}

void SourceReader::Rewind()
{
    positioned_ = ended_ = hasCurrent_ = hasNext_ = everyFrame_ = false;
    deinterlacer_.Reset();
}

MediaResult SourceReader::FrameBefore(MediaTime t, const KeptInstants& kept, const AVFrame*& frame,
                                      const std::atomic<bool>& stop)
{
    if (!positioned_) {
        if (const MediaResult sought = decoder_.Seek(t - 1, stop); Failed(sought))
            return sought;
        positioned_ = true;
    }
    kept_ = kept;
    if (!hasCurrent_) {
        const MediaResult first = Fetch(current_, currentTime_, stop);
        if (first == MediaResult::False)
            return MediaResult::EndOfData; // not one picture in the range
        if (Failed(first))
            return first;
        hasCurrent_ = true;
    }
    if (const MediaResult advanced = AdvanceTo(t, stop); Failed(advanced))
        return advanced;
    if (decoder_.LeftOutAroundLoss()) {
        // The frame on screen at t may be one that was left out: from here
        // on every frame is decoded, as a run that keeps them all decodes it.
        Rewind();
        everyFrame_ = true;
        return FrameBefore(t, kept, frame, stop);
    }
    if (ended_ && t > CurrentEnd())
        // No picture repeats past the stream's end.
        return decoder_.EndedEarly() ? MediaResult::EndOfData : MediaResult::False;
    frame = current_.get();
    return MediaResult::Ok;
}

MediaResult SourceReader::AdvanceTo(MediaTime t, const std::atomic<bool>& stop)
{
    while (!ended_) {
        if (!hasNext_) {
            const MediaResult fetched = Fetch(next_, nextTime_, stop);
            if (fetched == MediaResult::False) {
                ended_ = true;
                break;
            }
            if (Failed(fetched))
                return fetched;
            hasNext_ = true;
        }
        if (nextTime_ >= t)
            break;
        std::swap(current_, next_);
        currentTime_ = nextTime_;
        hasNext_ = false;
    }
    return MediaResult::Ok;
}

MediaResult SourceReader::Fetch(FrameHandle& frame, MediaTime& time, const std::atomic<bool>& stop)
{
    decoder_.DecodeOnlyFor(everyFrame_ || deinterlacer_.NeedsEveryFrame(decoder_) ? KeptInstants{} : kept_);
    return deinterlacer_.Next(decoder_, *frame, time, stop);
}

// Where the current frame leaves the screen: its own duration when the file
// gives one.
MediaTime SourceReader::CurrentEnd() const
{
    const MediaTime duration = current_->pkt_duration > 0
                                   ? av_rescale_q(current_->pkt_duration, decoder_.Stream().time_base,
                                                  AVRational{1, static_cast<int>(kMediaUnitsPerSecond)})
                                   : decoder_.NominalFrameDuration();
    return currentTime_ + duration;
}
