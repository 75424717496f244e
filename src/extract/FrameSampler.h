#pragma once

#include "extract/CaptureNaming.h"
#include "extract/PictureQueue.h"
#include "imaging/PictureFormats.h"
#include "platform/imaging/OutputFile.h"
#include "platform/media/FrameExtractor.h"
#include "settings/ConversionSettings.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

// Kept frames whose file could not be written during one conversion.
struct CaptureFailures {
    std::int64_t count = 0;
    QString firstError; // "<path>: <reason>" of the first one
};

// Receives every frame of a conversion from the extractor, counts it,
// keeps every N-th one and writes it into the output folder under the local
// time of its arrival, through the writer of the chosen picture format. Which
// frame is kept and its name are decided on the streaming thread, in the
// order the frames arrive; the writing runs on worker threads. A picture
// never replaces a file: when its name is taken (by another conversion, or
// by a picture of the same moment from before the clock was set back), it
// takes the next free "_N" name, and the pictures of one conversion take
// their names in the order of their frames.
// One object lives for the whole program; its frame count is never reset, so
// a second conversion continues the count of the first.
class FrameGrabberCallback final : public FrameSink {
public:
    using Clock = std::function<LocalTime()>;

    // diagnostics receives the two lines this callback prints (standard output in the program).
    // writers: how many pictures are written at once (one per core, at most four, by default).
    explicit FrameGrabberCallback(Clock clock = SystemLocalTime, std::FILE* diagnostics = stdout,
                                  int writers = DefaultWriterCount());
    FrameGrabberCallback(const FrameGrabberCallback&) = delete;
    FrameGrabberCallback& operator=(const FrameGrabberCallback&) = delete;

    // Starts one conversion that writes as settings say (folder, format,
    // JPEG quality, sampling interval): no failures yet, and the first frame
    // of each millisecond tries the plain name again. Waits for the pictures
    // of the conversion before. A sampling interval below 1 counts as 1, a
    // JPEG quality is clamped into 1..100, and a format code no picture
    // format has writes nothing. Called only while no frame arrives.
    void BeginConversion(const ConversionSettings& settings);

    // Returns once every frame kept so far is written or counted as failed.
    void FinishConversion();

    // Called once per frame on the streaming thread, before the frame is
    // drawn: counts it and answers whether it is kept, every N-th in a format
    // that is written. A kept frame's answer waits for a free writer.
    bool KeepsFrame() override;
    // Those before the N-th frames to come; all of them in a format that is not written.
    std::int64_t FramesBeforeKept(std::int64_t after) const override;

    // The layout the chosen format's writer takes, so that a frame is drawn
    // once, straight into what goes into the file.
    PictureLayout Layout() const override;
    // Called for each kept frame on the streaming thread; the picture is
    // written later on a worker. Nothing is reported to the user and nothing
    // fails the conversion.
    void SampleCB(double sampleTime, DrawnPicture picture) override;

    std::int64_t FrameCount() const { return frameCounter_; }
    // How many of this conversion's first frames frames will be kept, at the
    // settings of BeginConversion and counted on from the conversions
    // before; it does not change while the frames flow.
    std::int64_t KeptAmong(std::int64_t frames) const;
    // Pictures of this conversion whose file is complete on disk under its name.
    std::int64_t PicturesWritten() const { return written_.load(); }
    // Complete once FinishConversion has returned.
    CaptureFailures Failures() const;

    static int DefaultWriterCount();

private:
    // What a worker needs to write one kept frame.
    struct KeptFrame {
        LocalTime time;         // of its arrival, which names it
        int sequence = 0;       // the first "_N" its name may take; earlier frames of its millisecond hold those below
        std::int64_t order = 0; // among the kept frames of the conversion
        double sampleTime = 0;
        const PictureFormat* format = nullptr;
        int jpegQuality = 0;
    };

    // A kept frame whose picture is written, or has failed, and waits for
    // its turn to take its name.
    struct Finished {
        KeptFrame kept;
        std::unique_ptr<OutputFile> file; // complete unless failure says why not
        std::optional<QString> failure;
    };

    int NextSequence(const LocalTime& time);
    QString PathOf(const KeptFrame& kept, int sequence) const;
    void Write(const KeptFrame& kept, DrawnPicture& picture);
    void PlaceInOrder(Finished finished);
    void Settle(Finished& finished);
    std::optional<QString> Place(OutputFile& file, const KeptFrame& kept, QString& path) const;
    void RecordFailure(const QString& text);

    Clock clock_;
    std::FILE* diagnostics_;
    // What the conversion writes; set only while no frame arrives, so the
    // streaming thread and the writers read it unlocked.
    QString outputFolder_; // ends with '/'
    const PictureFormat* format_ = nullptr; // nullptr: nothing is written
    int jpegQuality_ = 80;
    int samplingInterval_ = 1;
    std::int64_t frameCounter_ = 0; // 64 bits: a long run never wraps it
    std::int64_t countedBefore_ = 0; // frameCounter_ when the conversion began
    // The moment of the last kept frame and how many frames shared it, so
    // that frames kept in the same millisecond get names of their own.
    std::optional<LocalTime> lastKept_;
    int sameMillisecond_ = 0;
    std::int64_t keptFrames_ = 0; // of this conversion: the next one's order
    std::mutex placingMutex_; // guards the two below
    std::int64_t nextToPlace_ = 0; // the order whose picture takes its name next
    std::map<std::int64_t, Finished> waiting_; // pictures finished before their turn, by order
    mutable std::mutex failuresMutex_; // the workers record, the job reads
    CaptureFailures failures_;
    std::atomic<std::int64_t> written_ = 0;
    PictureQueue queue_; // last: its workers use the members above until it is gone
};
