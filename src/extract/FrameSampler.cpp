#include "extract/FrameSampler.h"

#include "platform/imaging/Bitmap.h"
#include "settings/ConversionSettings.h"

#include <QFile>

#include <algorithm>
#include <exception>
#include <limits>
#include <thread>
#include <utility>

namespace {
constexpr const char* kInvalidSample = "Invalid IMediaSample passed to SampleCB!\r\n";
constexpr const char* kFoundSample = "Found a sample at time %ld ms\t[%s]\r\n";
const QString kNoMemory = QStringLiteral(": not enough memory for the frame");
const QString kNoFreeName = QStringLiteral(": no free name for the picture");
// How many taken names a picture passes over before it gives up: far more
// than pictures of one moment there can be, yet a bound for a file system
// that calls every name taken.
constexpr int kMostNamesTried = 1000000;
} // namespace

FrameGrabberCallback::FrameGrabberCallback(Clock clock, std::FILE* diagnostics, int writers)
    : clock_(std::move(clock)), diagnostics_(diagnostics), queue_(writers)
{
}

// Four writers keep up with one decoder; more would only hold more frames in memory.
int FrameGrabberCallback::DefaultWriterCount()
{
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 4U));
}

void FrameGrabberCallback::BeginConversion(const ConversionSettings& settings)
{
    queue_.Wait();
    outputFolder_ = settings.outputFolder;
    format_ = FindPictureFormat(settings.outputFormat);
    jpegQuality_ = std::clamp(settings.jpegQuality, 1, 100);
    samplingInterval_ = std::max(settings.samplingInterval, 1);
    countedBefore_ = frameCounter_;
    lastKept_.reset();
    sameMillisecond_ = 0;
    keptFrames_ = 0;
    nextToPlace_ = 0;
    written_ = 0;
    const std::lock_guard lock(failuresMutex_);
    failures_ = {};
}

void FrameGrabberCallback::FinishConversion()
{
    queue_.Wait();
}

std::int64_t FrameGrabberCallback::KeptAmong(std::int64_t frames) const
{
    if (frames <= 0 || format_ == nullptr)
        return 0;
    return (countedBefore_ + frames) / samplingInterval_ - countedBefore_ / samplingInterval_;
}

CaptureFailures FrameGrabberCallback::Failures() const
{
    const std::lock_guard lock(failuresMutex_);
    return failures_;
}

PictureLayout FrameGrabberCallback::Layout() const
{
    return format_ != nullptr && FramePixelFormat(*format_, jpegQuality_) == PixelFormat::Yuv420
               ? PictureLayout::Yuv420
               : PictureLayout::Bgr24;
}

void FrameGrabberCallback::SampleCB(double sampleTime, DrawnPicture picture)
{
    // The picture is named after the moment the frame arrived, so the clock is read first.
    const LocalTime now = clock_();
    if (picture.Empty()) {
        std::fputs(kInvalidSample, diagnostics_);
        return;
    }
    const KeptFrame kept{now, NextSequence(now), keptFrames_++, sampleTime, format_, jpegQuality_};
    try {
        queue_.Push(std::move(picture), [this, kept](DrawnPicture& drawn) { Write(kept, drawn); });
    } catch (const std::exception&) {
        // No memory to queue this frame: the picture is lost, not the conversion.
        PlaceInOrder({kept, nullptr, PathOf(kept, kept.sequence) + kNoMemory});
    }
}

// Frames are counted from one; a format without a writer keeps nothing. A
// kept frame is drawn only once a writer is free to take it, so that no drawn
// frame waits in memory (a 4K one takes 25 MB).
bool FrameGrabberCallback::KeepsFrame()
{
    const bool kept = ++frameCounter_ % samplingInterval_ == 0 && format_ != nullptr;
    if (kept)
        queue_.WaitForWorker();
    return kept;
}

std::int64_t FrameGrabberCallback::FramesBeforeKept(std::int64_t after) const
{
    const std::int64_t interval = samplingInterval_;
    if (format_ == nullptr || after < 0 || after >= std::numeric_limits<std::int64_t>::max() / interval)
        return std::numeric_limits<std::int64_t>::max();
    return (interval - (frameCounter_ + 1) % interval) % interval + after * (interval - 1);
}

int FrameGrabberCallback::NextSequence(const LocalTime& time)
{
    if (lastKept_ == time) {
        ++sameMillisecond_;
    } else {
        lastKept_ = time;
        sameMillisecond_ = 0;
    }
    return sameMillisecond_;
}

QString FrameGrabberCallback::PathOf(const KeptFrame& kept, int sequence) const
{
    return CaptureFileName(outputFolder_, kept.time, kept.format->code, sequence);
}

// The picture is written under a temporary name while others are written too.
void FrameGrabberCallback::Write(const KeptFrame& kept, DrawnPicture& picture)
{
    const bool planar = picture.Layout() == PictureLayout::Yuv420;
    Bitmap frame(planar ? PixelFormat::Yuv420 : PixelFormat::Bgr24, picture.Width(), picture.Height(),
                 {picture.Plane(0), picture.Plane(1), picture.Plane(2)},
                 {picture.Stride(0), picture.Stride(1), picture.Stride(2)});
    frame.SetRelease([&picture] { picture = DrawnPicture(); });
    auto file = std::make_unique<OutputFile>(PathOf(kept, kept.sequence));
    ImageResult result = kept.format->write(frame, *file, kept.jpegQuality);
    PlaceInOrder({kept, std::move(file), result.Succeeded() ? std::nullopt : std::optional(std::move(result.text))});
}

// Pictures take their names in the order of their frames. One finished
// before its turn waits here, and the writer that places the picture before
// it places it too, so no writer waits for another.
void FrameGrabberCallback::PlaceInOrder(Finished finished)
{
    const std::lock_guard lock(placingMutex_);
    const std::int64_t order = finished.kept.order;
    waiting_.emplace(order, std::move(finished));
    for (auto next = waiting_.find(nextToPlace_); next != waiting_.end(); next = waiting_.find(nextToPlace_)) {
        Settle(next->second);
        waiting_.erase(next);
        ++nextToPlace_;
    }
}

void FrameGrabberCallback::Settle(Finished& finished)
{
    QString path;
    if (!finished.failure)
        finished.failure = Place(*finished.file, finished.kept, path);
    if (finished.failure) {
        RecordFailure(*finished.failure);
        return;
    }
    ++written_;
    // Only a BMP is announced on the diagnostics, as it always was.
    if (finished.kept.format->code == kFormatBmp)
        std::fprintf(diagnostics_, kFoundSample, static_cast<long>(finished.kept.sampleTime * 1000),
                     QFile::encodeName(path).constData());
}

// The first free name from the picture's own on: a file of a taken name
// stays as it is.
std::optional<QString> FrameGrabberCallback::Place(OutputFile& file, const KeptFrame& kept, QString& path) const
{
    for (int sequence = kept.sequence; sequence - kept.sequence < kMostNamesTried; ++sequence) {
        path = PathOf(kept, sequence);
        switch (file.PlaceAs(path)) {
        case OutputFile::Placement::Placed:
            return std::nullopt;
        case OutputFile::Placement::NameTaken:
            continue;
        case OutputFile::Placement::Failed:
            return file.ErrorText();
        }
    }
    return PathOf(kept, kept.sequence) + kNoFreeName;
}

void FrameGrabberCallback::RecordFailure(const QString& text)
{
    const std::lock_guard lock(failuresMutex_);
    if (failures_.count++ == 0)
        failures_.firstError = text;
}
