#pragma once

#include "extract/CaptureGraph.h"
#include "extract/ConversionReporter.h"
#include "extract/TimelineBuilder.h"
#include "platform/media/ClockText.h"
#include "settings/ConversionSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>

class EditingServices;
class FrameGrabberCallback;
class LanguagePack;
class MessageService;
class QWidget;
class Timeline;

// What a conversion is built from and reports through.
struct ConversionServices {
    EditingServices& editing;
    MessageService& messages;
    LanguagePack& language;
    std::shared_ptr<SampleGrabber> grabber; // one for the whole program
    FrameGrabberCallback& sampler;
    QWidget* owner = nullptr;               // the main window
};

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

// The Convert button's work: checks, then a timeline for the marked range, a
// render engine and a capture graph that sends every frame to the sampler,
// run until the graph reports the end of the range or the user stops it.
class ConversionJob final : public QObject {
    Q_OBJECT

public:
    explicit ConversionJob(ConversionServices services, QObject* parent = nullptr);
    ~ConversionJob() override;
    ConversionJob(const ConversionJob&) = delete;
    ConversionJob& operator=(const ConversionJob&) = delete;

    // Starts a conversion when idle, ends the running one otherwise.
    void Convert(const ConversionRequest& request);
    void EndConversion();
    bool IsConverting() const { return converting_; }

    // The graph's events, handled on the user-interface thread.
    void HandleGraphEvents();

Q_SIGNALS:
    void StatusTextChanged(const QString& text);
    // Running: Convert reads "Stop" and Open Video, Options, Start Time and End Time are disabled.
    void RunningChanged(bool running);
    // Several times a second while running, first right after the start.
    void ProgressChanged(const ConversionProgress& progress);
    // After the end, once every kept picture is written or has failed;
    // rangeDone tells the whole range was rendered, not stopped before.
    void Finished(std::int64_t picturesWritten, bool rangeDone);

private:
    bool PassesChecks(ConversionRequest& request);
    bool ConfirmOutputFile(const ConversionSettings& settings);
    void CheckFrameRate(ConversionRequest& request);
    void Start(const ConversionRequest& request);
    void OnProgressTick();
    void ReportProgress();
    void ReportFailedPictures();
    void ReportStreamError(long code);

    ConversionServices services_;
    ConversionReporter reporter_;
    QTimer progressTimer_; // identifier 1112 of the window it stands for
    bool converting_ = false;
    int elapsedSeconds_ = 0;
    QTimer progressRefresh_;
    QElapsedTimer runningFor_;
    std::int64_t expectedPictures_ = 0;
    bool rangeDone_ = false;
    ConversionSettings running_;
    std::unique_ptr<Timeline> timeline_;
    std::optional<RunningCapture> capture_;
};

// "Done. Output file: <folder>     Resolution: <w>*<h>" in the current language.
QString ClosingStatusText(const LanguagePack& language, const ConversionSettings& settings);
