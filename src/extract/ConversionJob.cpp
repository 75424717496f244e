#include "extract/ConversionJob.h"

#include <QPointer>

#include <algorithm>
#include <utility>

namespace {

constexpr int kProgressPeriodMs = 1000;
constexpr int kProgressRefreshMs = 250;

// The pictures still to come at the rate of those written so far, rounded up.
std::optional<long long> SecondsLeft(std::int64_t written, std::int64_t expected, qint64 elapsedMs)
{
    if (written <= 0)
        return std::nullopt;
    const std::int64_t remaining = std::max<std::int64_t>(expected - written, 0);
    const std::int64_t perMs = written * 1000;
    return (remaining * elapsedMs + perMs - 1) / perMs;
}

} // namespace

ConversionJob::ConversionJob(FrameGrabberCallback& sampler, QObject* parent) : QObject(parent), sampler_(sampler)
{
    progressTimer_.setInterval(kProgressPeriodMs);
    connect(&progressTimer_, &QTimer::timeout, this, &ConversionJob::OnProgressTick);
    progressRefresh_.setInterval(kProgressRefreshMs);
    connect(&progressRefresh_, &QTimer::timeout, this, &ConversionJob::ReportProgress);
}

// Stops a running conversion before its parts go; the owner hears nothing more.
ConversionJob::~ConversionJob()
{
    blockSignals(true);
    if (converting_)
        EndConversion();
}

bool ConversionJob::Start(const ConversionRequest& request)
{
    if (converting_)
        return false;
    const StepRun steps{extractor_, faults_, [this](ConversionStep step, MediaResult result) {
                            Q_EMIT StepFailed(step, result);
                        }};
    if (!RunConversionSteps(steps, request.clip, request.settings)) {
        extractor_.Close();
        return false;
    }
    sampler_.BeginConversion(request.settings);
    outcome_ = {};
    outcome_.settings = request.settings;
    // The extractor knows which frames the range has: none before the clip's first picture.
    expectedPictures_ = sampler_.KeptAmong(extractor_.PictureFrameCount());
    converting_ = true;
    const int run = ++run_;
    QPointer<ConversionJob> self(this);
    // The streaming thread only posts; the end is taken on this object's thread.
    extractor_.Start(sampler_, [self, run](MediaResult result) {
        QMetaObject::invokeMethod(self, [self, run, result] { self->OnExtractionEnded(run, result); },
                                  Qt::QueuedConnection);
    });
    progressTimer_.start();
    progressRefresh_.start();
    runningFor_.start();
    Q_EMIT RunningChanged(true);
    ReportProgress();
    return true;
}

void ConversionJob::OnExtractionEnded(int run, MediaResult result)
{
    if (run != run_ || !converting_)
        return; // the end of a run already stopped
    if (Failed(result))
        outcome_.streamError = result; // it cannot go on: end as at the natural end and say why
    else
        outcome_.rangeDone = true;
    EndConversion();
}

void ConversionJob::OnProgressTick()
{
    Q_EMIT SecondsElapsed(++elapsedSeconds_);
}

void ConversionJob::ReportProgress()
{
    const std::int64_t written = sampler_.PicturesWritten();
    const auto secondsLeft = SecondsLeft(written, expectedPictures_, runningFor_.elapsed());
    Q_EMIT ProgressChanged({written, expectedPictures_, secondsLeft});
}

void ConversionJob::EndConversion()
{
    if (!converting_)
        return;
    progressTimer_.stop();
    progressRefresh_.stop();
    extractor_.Close();
    // The last kept frames may still be on their way to disk.
    sampler_.FinishConversion();
    converting_ = false;
    elapsedSeconds_ = 0;
    outcome_.picturesWritten = sampler_.PicturesWritten();
    outcome_.failures = sampler_.Failures();
    Q_EMIT RunningChanged(false);
    Q_EMIT Finished(std::exchange(outcome_, {}));
}
