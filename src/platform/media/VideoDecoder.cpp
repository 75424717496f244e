#include "platform/media/VideoDecoder.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

// A decoder that rejects this many packets in a row cannot go on with the file.
constexpr int kMaxDamagedInARow = 200;

// A frame this close after the target counts as on screen at the target:
// times of the two sides are rounded to 100 ns independently.
constexpr MediaTime kTimeSlack = 1;

// Earlier starting points tried when a seek lands after its target, as some
// containers only seek approximately; the last one is the start of the file.
constexpr MediaTime kSeekBackoffs[] = {0, kMediaUnitsPerSecond, 5 * kMediaUnitsPerSecond};

} // namespace

MediaResult VideoDecoder::Open(const std::string& path)
{
    path_ = path;
    input_ = MediaInput{};
    codec_.reset();
    hasKept_ = draining_ = false;
    damagedInARow_ = 0;
    lastTime_ = AV_NOPTS_VALUE;
    if (const MediaResult opened = OpenMediaInput(path, input_); Failed(opened))
        return opened;
    if (input_.videoStream < 0)
        return MediaResult::NoInterface;
    return OpenDecoder();
}

MediaResult VideoDecoder::OpenDecoder()
{
    for (unsigned i = 0; i < input_.format->nb_streams; ++i)
        if (static_cast<int>(i) != input_.videoStream)
            input_.format->streams[i]->discard = AVDISCARD_ALL; // sound is never decoded here
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
    codec_->thread_count = 0; // as many as the machine has
    codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    codec_->pkt_timebase = Stream().time_base;
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
        if (result == MediaResult::Ok && (!hasKept_ || keptTime_ <= target + kTimeSlack))
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
    lastTime_ = AV_NOPTS_VALUE;
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
        if (received == 0)
            return MediaResult::Ok;
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
    int sent = 0;
    if (packet_->stream_index == input_.videoStream)
        sent = avcodec_send_packet(codec_.get(), packet_.get());
    av_packet_unref(packet_.get());
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
    return time;
}

MediaTime VideoDecoder::DeclaredEnd() const
{
    const AVStream& stream = Stream();
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0) {
        const std::int64_t start = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
        return StreamToMediaTime(*input_.format, stream, start + stream.duration);
    }
    const AVFormatContext& format = *input_.format;
    if (format.duration != AV_NOPTS_VALUE && format.duration > 0)
        return av_rescale_q(format.duration, AVRational{1, AV_TIME_BASE},
                            AVRational{1, static_cast<int>(kMediaUnitsPerSecond)});
    return -1;
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
