#pragma once

#include "extract/CaptureNaming.h"
#include "extract/PictureQueue.h"
#include "platform/media/FilterGraph.h"
#include "settings/ConversionSettings.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>

// What the frame callback reads during a conversion. Set by the main window
// only while no conversion runs, so the streaming thread reads it unlocked.
struct CaptureState {
    QString outputFolder; // ends with '/'
    int outputFormat = kFormatBmp; // formats outside BMP..GIF write nothing
    int jpegQuality = 80;
    int samplingInterval = 1;
    int frameWidth = 0;
    int frameHeight = 0; // positive: the rows arrive bottom-up
};

// Kept frames whose file could not be written during one conversion.
struct CaptureFailures {
    std::int64_t count = 0;
    QString firstError; // "<path>: <reason>" of the first one
};

// Receives every frame of a conversion from the render engine, counts it,
// keeps every N-th one and writes it into the output folder under the local
// time of its arrival: BMP here, the other formats through the picture
// writers. Which frame is kept and its name are decided on the streaming
// thread, in the order the frames arrive; the writing runs on worker threads.
// One object lives for the whole program; its frame count is never reset, so
// a second conversion continues the count of the first.
class FrameGrabberCallback final : public SampleGrabberCallback {
public:
    using Clock = std::function<LocalTime()>;

    // diagnostics receives the two lines this callback prints (standard output in the program).
    // writers: how many pictures are written at once (one per core, at most four, by default).
    explicit FrameGrabberCallback(Clock clock = SystemLocalTime, std::FILE* diagnostics = stdout,
                                  int writers = DefaultWriterCount());
    FrameGrabberCallback(const FrameGrabberCallback&) = delete;
    FrameGrabberCallback& operator=(const FrameGrabberCallback&) = delete;

    // A sampling interval below 1 counts as 1; a JPEG quality is clamped into 1..100.
    void SetCaptureState(const CaptureState& state);
    const CaptureState& State() const { return state_; }

    // Starts the bookkeeping of one conversion: no failures yet, and the first
    // frame of each millisecond takes the plain name again. Waits for the
    // pictures of the conversion before.
    void BeginConversion();

    // Returns once every frame kept so far is written or counted as failed.
    void FinishConversion();

    // Called once per frame on the streaming thread, before the frame is
    // drawn: counts it and answers whether it is kept, every N-th in a format
    // that is written.
    bool KeepsFrame() override;

    // Called for each kept frame on the streaming thread with a bottom-up
    // BGR24 frame (rows padded to 4 bytes) that is valid only during the
    // call; it is copied and written later. Nothing is reported to the user
    // and nothing fails the conversion.
    void BufferCB(double sampleTime, const std::uint8_t* buffer, long length) override;

    std::int64_t FrameCount() const { return frameCounter_; }
    // Complete once FinishConversion has returned.
    CaptureFailures Failures() const;

    static int DefaultWriterCount();

private:
    // What a worker needs to write one kept frame.
    struct KeptFrame {
        QString path;
        double sampleTime = 0;
        CaptureState state;
    };

    QString NextPath(const LocalTime& time);
    void Write(const KeptFrame& kept, const PictureQueue::Frame& frame);
    std::optional<QString> WriteBmp(const KeptFrame& kept, const PictureQueue::Frame& frame);
    void RecordFailure(const QString& text);

    Clock clock_;
    std::FILE* diagnostics_;
    CaptureState state_;
    std::int64_t frameCounter_ = 0; // 64 bits: a long run never wraps it
    // The moment of the last kept frame and how many frames shared it, so
    // that frames kept in the same millisecond get names of their own.
    std::optional<LocalTime> lastKept_;
    int sameMillisecond_ = 0;
    mutable std::mutex failuresMutex_; // the workers record, the job reads
    CaptureFailures failures_;
    PictureQueue queue_; // last: its workers use the members above until it is gone
};
