#include "extract/ConversionJob.h"

#include "extract/ConversionMessages.h"
#include "extract/FrameSampler.h"
#include "i18n/LanguagePack.h"
#include "platform/media/EditingServices.h"
#include "platform/media/RenderEngine.h"
#include "platform/ui/MessageService.h"
#include "resources/StringIds.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using namespace ConversionMessages;

constexpr int kProgressPeriodMs = 1000;
constexpr int kProgressRefreshMs = 250;

const QString kPicturesNotWritten =
    QStringLiteral("%1 of the pictures could not be written to %2.\nThe first error: %3");
const QString kStreamFailed = QStringLiteral("The conversion ended early: %1");

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

QString ClosingStatusText(const LanguagePack& language, const ConversionSettings& settings)
{
    return QStringLiteral("%1. %2 %3     %4 %5*%6")
        .arg(language.GetString(kStringDone), language.GetString(kStringOutputFile), settings.outputFolder,
             language.GetString(kStringResolution))
        .arg(settings.outputWidth)
        .arg(settings.outputHeight);
}

ConversionJob::ConversionJob(ConversionServices services, QObject* parent)
    : QObject(parent), services_(services), reporter_(services.messages, services.owner)
{
    progressTimer_.setInterval(kProgressPeriodMs);
    connect(&progressTimer_, &QTimer::timeout, this, &ConversionJob::OnProgressTick);
    progressRefresh_.setInterval(kProgressRefreshMs);
    connect(&progressRefresh_, &QTimer::timeout, this, &ConversionJob::ReportProgress);
}

// Stops a running graph before its parts go; the owner hears nothing more.
ConversionJob::~ConversionJob()
{
    blockSignals(true);
    if (converting_)
        EndConversion();
}

void ConversionJob::Convert(const ConversionRequest& request)
{
    if (request.clip.videoItemCount == 0) {
        services_.messages.Show(services_.owner, services_.language.GetString(kStringOpenFile),
                                services_.language.GetString(kStringError));
        return;
    }
    if (converting_) {
        EndConversion();
        return;
    }
    ConversionRequest checked = request;
    if (!PassesChecks(checked))
        return;
    Start(checked);
}

bool ConversionJob::PassesChecks(ConversionRequest& request)
{
    if (request.clip.markEnd <= request.clip.markStart) {
        reporter_.Message(kEndBeforeStart);
        return false;
    }
    if (!ConfirmOutputFile(request.settings))
        return false;
    CheckFrameRate(request);
    return true;
}

bool ConversionJob::ConfirmOutputFile(const ConversionSettings& settings)
{
    const QString& path = settings.outputFilePath;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return true;
    const QString question = path + u' ' + services_.language.GetString(kStringFileExists);
    if (services_.messages.Show(services_.owner, question, kWarning, MessageButtons::YesNo, MessageIcon::Warning) !=
        MessageAnswer::Yes)
        return false;
    QFile::remove(path);
    return true;
}

// Asked only for the clip's own rate; 0 and a rate that is not a number pass.
// The answer holds for this conversion; the next one asks again.
void ConversionJob::CheckFrameRate(ConversionRequest& request)
{
    ConversionSettings& settings = request.settings;
    if (settings.frameRateIndex != 0 || !(settings.frameRate > 100.0 || settings.frameRate < 0.0))
        return;
    const QString question = kFrameRateQuestion.arg(request.clip.sourceFrameRate, 0, 'f', 6);
    const MessageAnswer answer = services_.messages.Show(services_.owner, question, kWarning, MessageButtons::YesNo);
    settings.frameRate = answer == MessageAnswer::Yes ? kDefaultFrameRate : request.clip.sourceFrameRate;
}

void ConversionJob::Start(const ConversionRequest& request)
{
    const ConversionSettings& settings = request.settings;
    timeline_ = BuildTimeline(services_.editing, reporter_, request.clip, settings);
    if (!timeline_)
        return;
    services_.sampler.BeginConversion(settings);
    QPointer<ConversionJob> self(this);
    const CaptureSinks sinks{
        services_.grabber, &services_.sampler,
        // Streaming threads only post; the events are fetched on this object's thread.
        [self] { QMetaObject::invokeMethod(self, &ConversionJob::HandleGraphEvents, Qt::QueuedConnection); }};
    capture_ = StartCapture(services_.editing, reporter_, *timeline_, sinks);
    if (!capture_) {
        timeline_.reset();
        return;
    }
    // The engine knows which frames the range has: none before the clip's first picture.
    expectedPictures_ = services_.sampler.KeptAmong(capture_->renderEngine->PictureFrameCount());
    running_ = settings;
    converting_ = true;
    progressTimer_.start();
    progressRefresh_.start();
    runningFor_.start();
    Q_EMIT RunningChanged(true);
    ReportProgress();
}

void ConversionJob::OnProgressTick()
{
    ++elapsedSeconds_;
    Q_EMIT StatusTextChanged(kProgress.arg(ClockText(elapsedSeconds_)));
}

void ConversionJob::ReportProgress()
{
    const std::int64_t written = services_.sampler.PicturesWritten();
    const auto secondsLeft = SecondsLeft(written, expectedPictures_, runningFor_.elapsed());
    Q_EMIT ProgressChanged({written, expectedPictures_, secondsLeft});
}

void ConversionJob::HandleGraphEvents()
{
    while (capture_ && capture_->events) {
        GraphEvent event;
        if (capture_->events->GetEvent(event) != MediaResult::Ok)
            return;
        if (event.code == EC_COMPLETE) {
            rangeDone_ = true;
            EndConversion();
        } else if (event.code == EC_ERRORABORT) {
            // The stream cannot go on: end as at the natural end and say why.
            EndConversion();
            ReportStreamError(event.param1);
        }
    }
}

void ConversionJob::EndConversion()
{
    progressTimer_.stop();
    progressRefresh_.stop();
    if (capture_) {
        capture_->control->Stop();
        capture_->events->SetNotify({});
        capture_->renderEngine->ScrapIt();
        capture_.reset();
    }
    // The last kept frames may still be on their way to disk.
    services_.sampler.FinishConversion();
    timeline_.reset();
    converting_ = false;
    elapsedSeconds_ = 0;
    Q_EMIT RunningChanged(false);
    Q_EMIT StatusTextChanged(ClosingStatusText(services_.language, running_));
    Q_EMIT Finished(services_.sampler.PicturesWritten(), std::exchange(rangeDone_, false));
    ReportFailedPictures();
}

// A conversion that lost pictures must not look like a success.
void ConversionJob::ReportFailedPictures()
{
    const CaptureFailures failures = services_.sampler.Failures();
    if (failures.count == 0)
        return;
    services_.messages.Show(services_.owner,
                            kPicturesNotWritten.arg(failures.count).arg(running_.outputFolder, failures.firstError),
                            kWarning);
}

void ConversionJob::ReportStreamError(long code)
{
    const auto result = static_cast<MediaResult>(static_cast<std::uint32_t>(code));
    reporter_.MessageWithCaption(kStreamFailed.arg(QString::fromStdString(MediaErrorText(result))),
                                 services_.language.GetString(kStringError));
}
