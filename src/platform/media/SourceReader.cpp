#include "platform/media/SourceReader.h"

#include <utility>

MediaResult SourceReader::Open(const std::string& path)
{
    const MediaResult opened = decoder_.Open(path);
    if (Succeeded(opened))
        rotation_ = DisplayRotation(decoder_.Stream());
    if (!current_ || !next_)
        return MediaResult::OutOfMemory;
    Rewind();
    return opened;
}

void SourceReader::Rewind()
{
    positioned_ = ended_ = hasCurrent_ = hasNext_ = false;
}

MediaResult SourceReader::FrameBefore(MediaTime t, const AVFrame*& frame, const std::atomic<bool>& stop)
{
    if (!positioned_) {
        if (const MediaResult sought = decoder_.Seek(t - 1, stop); Failed(sought))
            return sought;
        positioned_ = true;
    }
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
    return decoder_.Next(*frame, time, stop);
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
