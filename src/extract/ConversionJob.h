#pragma once

#include "extract/CaptureGraph.h"
#include "extract/ConversionReporter.h"
#include "extract/TimelineBuilder.h"
#include "platform/media/ClockText.h"
#include "settings/ConversionSettings.h"

#include <QObject>
#include <QTimer>

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
    void Convert(const ClipSource& clip, ConversionSettings& settings);
    void EndConversion();
    bool IsConverting() const { return converting_; }
    int ElapsedSeconds() const { return elapsedSeconds_; }

    // The graph's events, handled on the user-interface thread.
    void HandleGraphEvents();

Q_SIGNALS:
    void StatusTextChanged(const QString& text);
    // Running: Convert reads "Stop" and Open Video, Options, Start Time and End Time are disabled.
    void RunningChanged(bool running);

private:
    bool PassesChecks(const ClipSource& clip, ConversionSettings& settings);
    bool ConfirmOutputFile(const ConversionSettings& settings);
    void CheckFrameRate(const ClipSource& clip, ConversionSettings& settings);
    void Start(const ClipSource& clip, const ConversionSettings& settings);
    void OnProgressTick();
    void ReportFailedPictures();
    void ReportStreamError(long code);

    ConversionServices services_;
    ConversionReporter reporter_;
    QTimer progressTimer_; // identifier 1112 of the window it stands for
    bool converting_ = false;
    int elapsedSeconds_ = 0;
    ConversionSettings running_;
    std::unique_ptr<Timeline> timeline_;
    std::optional<RunningCapture> capture_;
};

// "Done. Output file: <folder>     Resolution: <w>*<h>" in the current language.
QString ClosingStatusText(const LanguagePack& language, const ConversionSettings& settings);
