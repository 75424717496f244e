#include "extract/FrameSampler.h"

#include "extract/BmpFile.h"
#include "imaging/ImageWriters.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/OutputFile.h"
#include "settings/ConversionSettings.h"

#include <QFile>

#include <algorithm>
#include <utility>

namespace {
constexpr const char* kInvalidSample = "Invalid IMediaSample passed to SampleCB!\r\n";
constexpr const char* kFoundSample = "Found a sample at time %ld ms\t[%s]\r\n";
} // namespace

FrameGrabberCallback::FrameGrabberCallback(Clock clock, std::FILE* diagnostics)
    : clock_(std::move(clock)), diagnostics_(diagnostics)
{
}

void FrameGrabberCallback::SetCaptureState(const CaptureState& state)
{
    state_ = state;
    state_.samplingInterval = std::max(state.samplingInterval, 1);
    state_.jpegQuality = std::clamp(state.jpegQuality, 1, 100);
}

void FrameGrabberCallback::BeginConversion()
{
    lastKept_.reset();
    sameMillisecond_ = 0;
    failures_ = {};
}

void FrameGrabberCallback::BufferCB(double sampleTime, const std::uint8_t* buffer, long length)
{
    // The picture is named after the moment the frame arrived, so the clock is read first.
    const LocalTime now = clock_();
    if (buffer == nullptr || length < 0) {
        std::fputs(kInvalidSample, diagnostics_);
        return;
    }
    if (++frameCounter_ % state_.samplingInterval != 0)
        return;
    if (state_.outputFormat < kFormatBmp || state_.outputFormat > kFormatGif)
        return;
    const QString path = NextPath(now);
    if (state_.outputFormat == kFormatBmp)
        WriteBmp(path, sampleTime, buffer, length);
    else
        WritePicture(path, buffer, length);
}

bool FrameGrabberCallback::NeedsNextFrame()
{
    const bool keeps = (frameCounter_ + 1) % state_.samplingInterval == 0 &&
                       state_.outputFormat >= kFormatBmp && state_.outputFormat <= kFormatGif;
    if (!keeps)
        ++frameCounter_;
    return keeps;
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

// Headers and data exactly as delivered: the rows are not flipped, converted
// or checked against the frame size.
void FrameGrabberCallback::WriteBmp(const QString& path, double sampleTime, const std::uint8_t* buffer, long length)
{
    OutputFile file(path);
    if (!file.IsOpen()) {
        RecordFailure(file.ErrorText());
        return;
    }
    std::fprintf(diagnostics_, kFoundSample, static_cast<long>(sampleTime * 1000),
                 QFile::encodeName(path).constData());
    const auto headers = BmpHeaders(state_.frameWidth, state_.frameHeight, static_cast<std::uint32_t>(length));
    file.Write(headers.data(), kBmpFileHeaderSize);
    file.Write(headers.data() + kBmpFileHeaderSize, kBmpInfoHeaderSize);
    file.Write(buffer, static_cast<std::size_t>(length));
    if (!file.Commit())
        RecordFailure(file.ErrorText());
}

// The bitmap wraps the frame in place and is gone before the call returns,
// so nothing refers to the buffer afterwards.
void FrameGrabberCallback::WritePicture(const QString& path, const std::uint8_t* buffer, long length)
{
    Bitmap bitmap(state_.frameWidth, state_.frameHeight, buffer, static_cast<std::size_t>(length));
    bool written = false;
    switch (state_.outputFormat) {
    case kFormatJpg: written = SaveAsJpeg(state_.jpegQuality, bitmap, path); break;
    case kFormatPng: written = SaveAsPng(bitmap, path); break;
    case kFormatTif: written = SaveAsTiff(bitmap, path); break;
    case kFormatGif: written = SaveAsGif(bitmap, path); break;
    }
    if (!written)
        RecordFailure(bitmap.LastErrorText());
}

void FrameGrabberCallback::RecordFailure(const QString& text)
{
    if (failures_.count++ == 0)
        failures_.firstError = text;
}
