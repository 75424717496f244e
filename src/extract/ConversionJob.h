#pragma once

#include "extract/ConversionSteps.h"
#include "extract/FrameSampler.h"
#include "platform/media/FrameExtractor.h"
#include "settings/ConversionSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <optional>

// How far a running conversion is.
struct ConversionProgress {
    std::int64_t written = 0;  // pictures complete on disk
    std::int64_t expected = 0; // pictures the marked range gives at the sampling interval, none before the first frame
    // From the pictures written so far per second; none before the first one.
    std::optional<long long> secondsLeft;
};

// One press of Convert: the clip's range and the output settings as they
// stood then. The job runs on its own copy, so nothing it decides reaches
// back into the caller's settings.
struct ConversionRequest {
    ClipSource clip;
    ConversionSettings settings;
};

// How a conversion ended.
struct ConversionOutcome {
    ConversionSettings settings;  // those it ran with
    std::int64_t picturesWritten = 0;
    bool rangeDone = false;       // the whole range was drawn, not stopped before
    CaptureFailures failures;     // kept pictures that could not be written
    std::optional<MediaResult> streamError; // why drawing stopped before the end
};

// The Convert button's work: the steps for the marked range, then frames
// drawn by the extractor into the sampler until the range is done or the
// user stops it. It decides nothing about boxes or texts: it tells what
// happened and the front end shows it.
class ConversionJob final : public QObject {
    Q_OBJECT

public:
    explicit ConversionJob(FrameGrabberCallback& sampler, QObject* parent = nullptr);
    ~ConversionJob() override;
    ConversionJob(const ConversionJob&) = delete;
    ConversionJob& operator=(const ConversionJob&) = delete;

    // Failures to provoke in the steps of the conversions to come.
    void SetFaultPlan(FaultPlan faults) { faults_ = std::move(faults); }

    // Runs the steps and starts drawing; false when a step stopped it.
    bool Start(const ConversionRequest& request);
    // Ends a running conversion once its kept pictures are written.
    void EndConversion();
    bool IsConverting() const { return converting_; }

Q_SIGNALS:
    void StepFailed(ConversionStep step, MediaResult result);
    // Running: Convert reads "Stop" and Open Video, Options, Start Time and End Time are disabled.
    void RunningChanged(bool running);
    // Once a second while running.
    void SecondsElapsed(int seconds);
    // Several times a second while running, first right after the start.
    void ProgressChanged(const ConversionProgress& progress);
    // After the end, once every kept picture is written or has failed.
    void Finished(const ConversionOutcome& outcome);

private:
    void OnExtractionEnded(int run, MediaResult result);
    void OnProgressTick();
    void ReportProgress();

    FrameGrabberCallback& sampler_;
    FrameExtractor extractor_;
    FaultPlan faults_;
    QTimer progressTimer_; // identifier 1112 of the window it stands for
    QTimer progressRefresh_;
    QElapsedTimer runningFor_;
    bool converting_ = false;
    int run_ = 0; // counts the runs, so that the end of a stopped one is not taken for the next
    int elapsedSeconds_ = 0;
    std::int64_t expectedPictures_ = 0;
    ConversionOutcome outcome_;
};
