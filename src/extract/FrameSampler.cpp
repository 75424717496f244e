#include "extract/FrameSampler.h"

#include "settings/ConversionSettings.h"

#include <QFile>

#include <algorithm>
#include <exception>
#include <thread>
#include <utility>

namespace {
constexpr const char* kInvalidSample = "Invalid IMediaSample passed to SampleCB!\r\n";
constexpr const char* kFoundSample = "Found a sample at time %ld ms\t[%s]\r\n";
const QString kNoMemory = QStringLiteral(": not enough memory for the frame");
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
    lastKept_.reset();
    sameMillisecond_ = 0;
    written_ = 0;
    const std::lock_guard lock(failuresMutex_);
    failures_ = {};
}

void FrameGrabberCallback::SetFrameSize(int width, int height)
{
    frameWidth_ = width;
    frameHeight_ = height;
}

void FrameGrabberCallback::FinishConversion()
{
    queue_.Wait();
}

std::int64_t FrameGrabberCallback::KeptAmong(std::int64_t frames) const
{
    if (frames <= 0 || format_ == nullptr)
        return 0;
    return (frameCounter_ + frames) / samplingInterval_ - frameCounter_ / samplingInterval_;
}

CaptureFailures FrameGrabberCallback::Failures() const
{
    const std::lock_guard lock(failuresMutex_);
    return failures_;
}

void FrameGrabberCallback::BufferCB(double sampleTime, const std::uint8_t* buffer, long length)
{
    // The picture is named after the moment the frame arrived, so the clock is read first.
    const LocalTime now = clock_();
    if (buffer == nullptr || length < 0) {
        std::fputs(kInvalidSample, diagnostics_);
        return;
    }
    KeptFrame kept{NextPath(now), sampleTime, format_, jpegQuality_, frameWidth_, frameHeight_};
    const QString path = kept.path;
    try {
        queue_.Push(buffer, static_cast<std::size_t>(length),
                    [this, kept = std::move(kept)](const PictureQueue::Frame& frame) { Write(kept, frame); });
    } catch (const std::exception&) {
        // No memory for a copy of this frame: the picture is lost, not the conversion.
        RecordFailure(path + kNoMemory);
    }
}

// Frames are counted from one; a format without a writer keeps nothing.
bool FrameGrabberCallback::KeepsFrame()
{
    return ++frameCounter_ % samplingInterval_ == 0 && format_ != nullptr;
}

QString FrameGrabberCallback::NextPath(const LocalTime& time)
{
    if (lastKept_ == time) {
        ++sameMillisecond_;
    } else {
        lastKept_ = time;
        sameMillisecond_ = 0;
    }
    return CaptureFileName(outputFolder_, time, format_->code, sameMillisecond_);
}

void FrameGrabberCallback::Write(const KeptFrame& kept, const PictureQueue::Frame& frame)
{
    const FrameBuffer buffer{frame.data(), frame.size(), kept.width, kept.height};
    if (const std::optional<QString> failure = kept.format->write(buffer, kept.path, kept.jpegQuality)) {
        RecordFailure(*failure);
        return;
    }
    ++written_;
    // Only a BMP is announced on the diagnostics, as it always was.
    if (kept.format->code == kFormatBmp)
        std::fprintf(diagnostics_, kFoundSample, static_cast<long>(kept.sampleTime * 1000),
                     QFile::encodeName(kept.path).constData());
}

void FrameGrabberCallback::RecordFailure(const QString& text)
{
    const std::lock_guard lock(failuresMutex_);
    if (failures_.count++ == 0)
        failures_.firstError = text;
}
