#pragma once

#include "platform/media/Deinterlacer.h"
#include "platform/media/MediaInput.h"
#include "platform/media/MediaTime.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

// The instants, in order, at which pictures of a source may be kept from now
// on; the last one stands for every instant from it on. Empty: any instant.
using KeptInstants = std::vector<MediaTime>;

// Decodes the first video stream of one file in presentation order, from
// the keyframe before a chosen instant. The other streams are read, not
// decoded: only to see where the file's data ends.
class VideoDecoder final {
public:
    VideoDecoder() = default;
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    MediaResult Open(const std::string& path);
    // Positions the decoder so that the frames it delivers next include the
    // one on screen at the target; the first of them is kept for Next.
    MediaResult Seek(MediaTime target, const std::atomic<bool>& stop);
    // The next frame and its media time; False after the last one, Aborted
    // when the stop flag is raised.
    MediaResult Next(AVFrame& frame, MediaTime& time, const std::atomic<bool>& stop);

    const AVStream& Stream() const { return *input_.format->streams[input_.videoStream]; }
    // Whether the file's data, every stream counted, stopped well before the
    // length the file declares: a file cut short, not a picture stream that
    // simply ends before the sound does. Known once Next has said False.
    bool EndedEarly() const;
    // How long one frame is on screen when the file does not say.
    MediaTime NominalFrameDuration() const;
    // Where the pictures decoded from now on may be looked at (empty, the
    // state after Open and Seek: anywhere). A non-reference frame is left
    // undecoded when a frame read before it follows it on screen and no
    // instant lies between the two: the frame leaves the screen unseen.
    void DecodeOnlyFor(const KeptInstants& instants) { lookedAt_ = instants; }
    // Whether, since positioning, a frame was left out and a frame sent to the
    // decoder never came out of it (damaged, or coded as no picture): the
    // frame left out may then be the one on screen at an instant looked at.
    bool LeftOutAroundLoss() const { return leftOut_ && lostFrame_; }
    // Frames the decoder has made since the file was opened.
    std::int64_t FramesDecoded() const { return framesDecoded_; }

private:
    MediaResult OpenDecoder();
    MediaResult Decode(AVFrame& frame, const std::atomic<bool>& stop);
    MediaResult FeedPacket();
    MediaResult SeekFrom(MediaTime target, const std::atomic<bool>& stop);
    MediaTime FrameTime(const AVFrame& frame);
    void NoteDataEnd(const AVPacket& packet);
    bool Unneeded(const AVPacket& packet);
    void ForgetReadFrames();
    void Await(const AVPacket& packet);
    void NoteCameOut(MediaTime time);

    std::string path_;
    MediaInput input_;
    CodecHandle codec_;
    PacketHandle packet_;
    FrameHandle kept_;         // the first frame after a seek, not yet handed out
    MediaTime keptTime_ = 0;
    bool hasKept_ = false;
    bool draining_ = false;    // the file is read to its end; the decoder is emptied
    int damagedInARow_ = 0;    // packets the decoder rejected since the last good one
    MediaTime lastTime_ = AV_NOPTS_VALUE;
    MediaTime dataEnd_ = 0;    // the end of the latest packet read, of any stream
    KeptInstants lookedAt_;
    std::set<MediaTime> readTimes_; // of the latest picture packets read since positioning
    std::set<MediaTime> awaited_;   // of the picture packets decoded whose frames have not come out
    bool leftOut_ = false;          // since positioning
    bool lostFrame_ = false;        // since positioning
    std::int64_t framesDecoded_ = 0;
};

// The pictures of one clip, asked for at media times that never
// decrease.
class SourceReader final {
public:
    SourceReader() = default;
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    MediaResult Open(const std::string& path, Deinterlacing deinterlacing);
    // The next call positions the decoder afresh, free to leave frames out again.
    void Rewind();
    // The last frame that starts before t, or the first one when t lies
    // before it. False, with no frame, once t lies past the end of the last
    // frame: the picture stream has ended. EndOfData instead when the file
    // was cut short. Frames that only instants before the first of kept show
    // may be left undecoded, and the frame handed out for an instant that
    // is not kept is then not necessarily the one on screen.
    MediaResult FrameBefore(MediaTime t, const KeptInstants& kept, const AVFrame*& frame,
                            const std::atomic<bool>& stop);
    // Frames the decoder has made since the source was opened.
    std::int64_t FramesDecoded() const { return decoder_.FramesDecoded(); }

    DisplayOrientation Orientation() const { return orientation_; }
    // The instant of the stream's first picture, found by decoding from the
    // start of the file when it is opened; the earliest instant there is
    // when no picture could be decoded then.
    MediaTime FirstPictureTime() const { return firstPicture_; }

private:
    MediaTime FindFirstPicture();
    MediaResult Fetch(FrameHandle& frame, MediaTime& time, const std::atomic<bool>& stop);
    MediaResult AdvanceTo(MediaTime t, const std::atomic<bool>& stop);
    MediaTime CurrentEnd() const;

    VideoDecoder decoder_;
    Deinterlacer deinterlacer_;
    DisplayOrientation orientation_;
    MediaTime firstPicture_ = std::numeric_limits<MediaTime>::min();
    bool positioned_ = false;
    bool ended_ = false;
    FrameHandle current_{av_frame_alloc()};
    FrameHandle next_{av_frame_alloc()};
    MediaTime currentTime_ = 0;
    MediaTime nextTime_ = 0;
    KeptInstants kept_;
    bool everyFrame_ = false; // nothing is left out until the next rewind
    bool hasCurrent_ = false;
    bool hasNext_ = false;
};
