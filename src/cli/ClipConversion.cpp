#include "cli/ClipConversion.h"

#include "cli/StopSignals.h"
#include "extract/ConversionMessages.h"
#include "extract/FrameSampler.h"
#include "platform/media/ClipMeasure.h"
#include "platform/media/ProbeGraph.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

std::optional<MeasuredClip> Probe(const QString& path, QString& why)
{
    if (!QFileInfo(path).isFile()) {
        why = QStringLiteral("no such file");
        return std::nullopt;
    }
    const std::unique_ptr<ProbeGraph> probe = FfmpegProbeFactory()();
    if (!probe) {
        why = QStringLiteral("no probe can be made");
        return std::nullopt;
    }
    if (const MediaResult result = probe->RenderFile(path.toStdString()); Failed(result)) {
        why = QStringLiteral("cannot be opened: ") + QString::fromStdString(MediaErrorText(result));
        return std::nullopt;
    }
    MeasuredClip clip;
    switch (MeasureClip(*probe, path.toStdString(), kDefaultFrameRate, clip)) {
    case MeasureFailure::None: return clip;
    case MeasureFailure::VideoSize: why = QStringLiteral("holds no video"); break;
    case MeasureFailure::Duration:
    case MeasureFailure::FrameTime: why = QStringLiteral("its length or frame rate cannot be read"); break;
    }
    return std::nullopt;
}

// Times past any clip's end are held where they still fit the media clock.
MediaTime ToMediaTime(double seconds) { return std::llround(std::min(seconds, 9e11) * kMediaUnitsPerSecond); }
double ToSeconds(MediaTime time) { return static_cast<double>(time) / kMediaUnitsPerSecond; }

void PrintSummary(const QString& clip, const FrameGrabberCallback& sampler, double seconds)
{
    const std::int64_t frames = sampler.FrameCount();
    std::printf("%s: frames: %lld written: %lld seconds: %.3f fps: %.1f\n", qPrintable(clip),
                static_cast<long long>(frames), static_cast<long long>(sampler.PicturesWritten()), seconds,
                seconds > 0 ? static_cast<double>(frames) / seconds : 0.0);
    std::fflush(stdout);
}

// The command's settings fitted to the clip as the window fits the Options
// when it opens one: the clip's own size and, for "Original frame rate", its rate.
ConversionSettings SettingsFor(const ExtractCommand& command, const MeasuredClip& clip, const QString& folder)
{
    ConversionSettings settings = command.settings;
    settings.outputWidth = command.width.value_or(clip.width);
    settings.outputHeight = command.height.value_or(clip.height);
    ChooseFrameRate(settings, settings.frameRateIndex, settings.frameRate, clip.frameRate);
    settings.outputFolder = folder;
    return settings;
}

// How a clip's conversion ended, from what the job told and how it was stopped.
ExitStatus Verdict(const RunState& state, const FrameGrabberCallback& sampler)
{
    if (StopSignals::Received() != 0)
        return ExitStatus::Interrupted;
    // A range not done and not stopped on purpose ended early: its later pictures are missing.
    if (sampler.Failures().count > 0 || (!state.rangeDone.value_or(false) && !state.stopMilliseconds))
        return ExitStatus::PicturesLost;
    if (state.expected == 0 && sampler.PicturesWritten() == 0)
        return ExitStatus::NothingToConvert;
    return ExitStatus::Done;
}

} // namespace

ClipConverter::ClipConverter(const ExtractCommand& command, ConsoleMessages& messages, StopSignals& stops)
    : command_(command), messages_(messages), stops_(stops), discard_(std::fopen("/dev/null", "w"), &std::fclose)
{
}

ExitStatus ClipConverter::Convert(const ClipTarget& clip)
{
    messages_.SetClip(clip.path);
    ExitStatus status = ExitStatus::Done;
    if (const std::optional<ConversionRequest> request = Prepare(clip, status))
        status = Run(*request);
    messages_.SetClip({});
    return status;
}

// The window's steps when it opens the clip and the user marks the stretch.
std::optional<ConversionRequest> ClipConverter::Prepare(const ClipTarget& clip, ExitStatus& failure)
{
    QString why;
    const std::optional<MeasuredClip> probed = Probe(clip.path, why);
    if (!probed) {
        messages_.Say(why);
        failure = ExitStatus::CannotOpen;
        return std::nullopt;
    }
    const MediaTime start = command_.start ? ToMediaTime(*command_.start) : 0;
    const MediaTime end = std::min(command_.end ? ToMediaTime(*command_.end) : probed->duration, probed->duration);
    if (end <= start) {
        messages_.Say(QStringLiteral("nothing to convert from %1 s to %2 s of a clip %3 s long")
                          .arg(ToSeconds(start))
                          .arg(command_.end.value_or(ToSeconds(end)))
                          .arg(ToSeconds(probed->duration)));
        failure = ExitStatus::NothingToConvert;
        return std::nullopt;
    }
    const ConversionSettings settings = SettingsFor(command_, *probed, clip.outputFolder);
    if (!QDir().mkpath(settings.outputFolder)) {
        messages_.Say(QStringLiteral("cannot create the folder %1").arg(settings.outputFolder));
        failure = ExitStatus::PicturesLost;
        return std::nullopt;
    }
    return ConversionRequest{ClipSource{1, 1, clip.path, start, end, probed->frameRate}, settings};
}

ExitStatus ClipConverter::Run(const ConversionRequest& request)
{
    FrameGrabberCallback sampler(SystemLocalTime, discard_ ? discard_.get() : stdout);
    ConversionJob job(sampler);
    RunState state;
    QEventLoop loop;
    Follow(job, loop, state, request.clip.videoPath);
    QElapsedTimer timer;
    timer.start();
    if (!job.Start(request))
        return ExitStatus::CannotOpen; // the failed step has said why
    QTimer stopTimer;
    if (command_.stopAfter)
        StopAfter(*command_.stopAfter, stopTimer, job, state);
    // A signal may have come before the loop could deliver it.
    if (StopSignals::Received() != 0 && job.IsConverting())
        job.EndConversion();
    if (!state.rangeDone)
        loop.exec();
    progress_.Clear();
    if (state.stopMilliseconds)
        std::printf("stopped in: %.1f ms\n", *state.stopMilliseconds);
    PrintSummary(request.clip.videoPath, sampler, static_cast<double>(timer.nsecsElapsed()) / 1e9);
    return Verdict(state, sampler);
}

// The job's news while it runs, and Ctrl-C, which stops it as the Stop button does.
void ClipConverter::Follow(ConversionJob& job, QEventLoop& loop, RunState& state, const QString& clip)
{
    QObject::connect(&job, &ConversionJob::StepFailed, &loop, [this](ConversionStep step, MediaResult result) {
        for (const ConversionNotice& notice : NoticesOf(step, result))
            messages_.Show(nullptr, notice.text, notice.caption);
    });
    QObject::connect(&job, &ConversionJob::Finished, &loop, [this, &loop, &state](const ConversionOutcome& outcome) {
        state.rangeDone = outcome.rangeDone;
        Tell(outcome);
        loop.quit();
    });
    QObject::connect(&job, &ConversionJob::ProgressChanged, &loop,
                     [this, &state, clip](const ConversionProgress& progress) {
                         state.expected = progress.expected;
                         progress_.Show(clip, progress);
                     });
    QObject::connect(&stops_, &StopSignals::Stop, &loop, [&job] {
        if (job.IsConverting())
            job.EndConversion();
    });
}

// Pictures lost and an early end, each on a line of its own.
void ClipConverter::Tell(const ConversionOutcome& outcome) const
{
    const CaptureFailures& failures = outcome.failures;
    if (failures.count > 0)
        messages_.Say(
            ConversionMessages::PicturesNotWritten(failures.count, outcome.settings.outputFolder, failures.firstError));
    if (outcome.streamError)
        messages_.Say(ConversionMessages::EndedEarly(*outcome.streamError));
}

// --stop-after: as Ctrl-C would, but timed, so that the time stopping takes can be measured.
void ClipConverter::StopAfter(double seconds, QTimer& timer, ConversionJob& job, RunState& state)
{
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &job, [&job, &state] {
        if (!job.IsConverting())
            return;
        QElapsedTimer stopping;
        stopping.start();
        job.EndConversion();
        state.stopMilliseconds = static_cast<double>(stopping.nsecsElapsed()) / 1e6;
    });
    timer.start(std::chrono::milliseconds(std::llround(seconds * 1000)));
}
