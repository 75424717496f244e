#pragma once

#include "extract/CaptureNaming.h"
#include "settings/ConversionSettings.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <functional>
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
// writers. One object lives for the whole program; its frame count is never
// reset, so a second conversion continues the count of the first.
class FrameGrabberCallback final {
public:
    using Clock = std::function<LocalTime()>;

    // diagnostics receives the two lines this callback prints (standard output in the program).
    explicit FrameGrabberCallback(Clock clock = SystemLocalTime, std::FILE* diagnostics = stdout);
    FrameGrabberCallback(const FrameGrabberCallback&) = delete;
    FrameGrabberCallback& operator=(const FrameGrabberCallback&) = delete;

    // A sampling interval below 1 counts as 1; a JPEG quality is clamped into 1..100.
    void SetCaptureState(const CaptureState& state);
    const CaptureState& State() const { return state_; }

    // Starts the bookkeeping of one conversion: no failures yet, and the first
    // frame of each millisecond takes the plain name again.
    void BeginConversion();

    // Called once per frame on the streaming thread with a bottom-up BGR24
    // frame (rows padded to 4 bytes) that is valid only during the call.
    // Nothing is reported to the user and nothing fails the conversion.
    void BufferCB(double sampleTime, const std::uint8_t* buffer, long length);

    // Asked before each frame is converted: a frame that will not be written
    // is counted here and never reaches BufferCB, so it costs no conversion.
    bool NeedsNextFrame();

    std::int64_t FrameCount() const { return frameCounter_; }
    const CaptureFailures& Failures() const { return failures_; }

private:
    QString NextPath(const LocalTime& time);
    void WriteBmp(const QString& path, double sampleTime, const std::uint8_t* buffer, long length);
    void WritePicture(const QString& path, const std::uint8_t* buffer, long length);
    void RecordFailure(const QString& text);

    Clock clock_;
    std::FILE* diagnostics_;
    CaptureState state_;
    std::int64_t frameCounter_ = 0; // 64 bits: a long run never wraps it
    // The moment of the last kept frame and how many frames shared it, so
    // that frames kept in the same millisecond get names of their own.
    std::optional<LocalTime> lastKept_;
    int sameMillisecond_ = 0;
    CaptureFailures failures_;
};
