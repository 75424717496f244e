#include "extract/FrameSampler.h"

#include "extract/BmpFile.h"
#include "imaging/ImageWriters.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/OutputFile.h"
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

// The bitmap wraps the frame in place and is gone before the call returns.
std::optional<QString> WritePicture(const QString& path, const CaptureState& state, const PictureQueue::Frame& frame)
{
    Bitmap bitmap(state.frameWidth, state.frameHeight, frame.data(), frame.size());
    bool written = false;
    switch (state.outputFormat) {
    case kFormatJpg: written = SaveAsJpeg(state.jpegQuality, bitmap, path); break;
    case kFormatPng: written = SaveAsPng(bitmap, path); break;
    case kFormatTif: written = SaveAsTiff(bitmap, path); break;
    case kFormatGif: written = SaveAsGif(bitmap, path); break;
    }
    if (written)
        return std::nullopt;
    return bitmap.LastErrorText();
}
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

void FrameGrabberCallback::SetCaptureState(const CaptureState& state)
{
    state_ = state;
    state_.samplingInterval = std::max(state.samplingInterval, 1);
    state_.jpegQuality = std::clamp(state.jpegQuality, 1, 100);
}

void FrameGrabberCallback::BeginConversion()
{
    queue_.Wait();
    lastKept_.reset();
    sameMillisecond_ = 0;
    const std::lock_guard lock(failuresMutex_);
    failures_ = {};
}

void FrameGrabberCallback::FinishConversion()
{
    queue_.Wait();
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
    KeptFrame kept{NextPath(now), sampleTime, state_};
    const QString path = kept.path;
    try {
        queue_.Push(buffer, static_cast<std::size_t>(length),
                    [this, kept = std::move(kept)](const PictureQueue::Frame& frame) { Write(kept, frame); });
    } catch (const std::exception&) {
        // No memory for a copy of this frame: the picture is lost, not the conversion.
        RecordFailure(path + kNoMemory);
    }
}

bool FrameGrabberCallback::KeepsFrame()
{
    return ++frameCounter_ % state_.samplingInterval == 0 && state_.outputFormat >= kFormatBmp &&
           state_.outputFormat <= kFormatGif;
}

QString FrameGrabberCallback::NextPath(const LocalTime& time)
{
    if (lastKept_ == time) {
        ++sameMillisecond_;
    } else {
        lastKept_ = time;
        sameMillisecond_ = 0;
    }
    return CaptureFileName(state_.outputFolder, time, state_.outputFormat, sameMillisecond_);
}

void FrameGrabberCallback::Write(const KeptFrame& kept, const PictureQueue::Frame& frame)
{
    const std::optional<QString> failure = kept.state.outputFormat == kFormatBmp
                                               ? WriteBmp(kept, frame)
                                               : WritePicture(kept.path, kept.state, frame);
    if (failure)
        RecordFailure(*failure);
}

// Headers and data exactly as delivered: the rows are not flipped, converted
// or checked against the frame size.
std::optional<QString> FrameGrabberCallback::WriteBmp(const KeptFrame& kept, const PictureQueue::Frame& frame)
{
    OutputFile file(kept.path);
    if (!file.IsOpen())
        return file.ErrorText();
    std::fprintf(diagnostics_, kFoundSample, static_cast<long>(kept.sampleTime * 1000),
                 QFile::encodeName(kept.path).constData());
    const auto headers =
        BmpHeaders(kept.state.frameWidth, kept.state.frameHeight, static_cast<std::uint32_t>(frame.size()));
    file.Write(headers.data(), kBmpFileHeaderSize);
    file.Write(headers.data() + kBmpFileHeaderSize, kBmpInfoHeaderSize);
    file.Write(frame.data(), frame.size());
    if (!file.Commit())
        return file.ErrorText();
    return std::nullopt;
}

void FrameGrabberCallback::RecordFailure(const QString& text)
{
    const std::lock_guard lock(failuresMutex_);
    if (failures_.count++ == 0)
        failures_.firstError = text;
}
