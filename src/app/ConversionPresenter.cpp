#include "app/ConversionPresenter.h"

#include "app/MainWindowTexts.h"
#include "extract/ConversionMessages.h"
#include "i18n/LanguagePack.h"
#include "platform/media/ClockText.h"
#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/MessageService.h"
#include "resources/StringIds.h"

#include <QFile>
#include <QFileInfo>

using namespace MainWindowTexts;

std::optional<ConversionRequest> ConversionPresenter::Checked(const ConversionRequest& request) const
{
    if (request.clip.videoItemCount == 0) {
        messages_.Show(owner_, language_.GetString(kStringOpenFile), language_.GetString(kStringError));
        return std::nullopt;
    }
    if (request.clip.markEnd <= request.clip.markStart) {
        messages_.Show(owner_, kEndBeforeStart, ApplicationTitle());
        return std::nullopt;
    }
    if (!ConfirmOutputFile(request.settings))
        return std::nullopt;
    ConversionRequest checked = request;
    CheckFrameRate(checked);
    return checked;
}

bool ConversionPresenter::ConfirmOutputFile(const ConversionSettings& settings) const
{
    const QString& path = settings.outputFilePath;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return true;
    const QString question = path + u' ' + language_.GetString(kStringFileExists);
    if (messages_.Show(owner_, question, kWarning, MessageButtons::YesNo, MessageIcon::Warning) != MessageAnswer::Yes)
        return false;
    QFile::remove(path);
    return true;
}

// Asked only for the clip's own rate; 0 and a rate that is not a number pass.
// The answer holds for this conversion; the next one asks again.
void ConversionPresenter::CheckFrameRate(ConversionRequest& request) const
{
    ConversionSettings& settings = request.settings;
    if (settings.frameRateIndex != 0 || !(settings.frameRate > 100.0 || settings.frameRate < 0.0))
        return;
    const QString question = kFrameRateQuestion.arg(request.clip.sourceFrameRate, 0, 'f', 6);
    const MessageAnswer answer = messages_.Show(owner_, question, kWarning, MessageButtons::YesNo);
    settings.frameRate = answer == MessageAnswer::Yes ? kDefaultFrameRate : request.clip.sourceFrameRate;
}

void ConversionPresenter::ShowStepFailure(ConversionStep step, MediaResult result) const
{
    for (const ConversionNotice& notice : NoticesOf(step, result))
        messages_.Show(notice.onWindow ? owner_ : nullptr, notice.text, notice.caption);
}

void ConversionPresenter::ShowEnd(const ConversionOutcome& outcome) const
{
    const CaptureFailures& failures = outcome.failures;
    if (failures.count > 0)
        messages_.Show(owner_,
                      ConversionMessages::PicturesNotWritten(failures.count, outcome.settings.outputFolder,
                                                             failures.firstError),
                      kWarning);
    if (outcome.streamError)
        messages_.Show(owner_, ConversionMessages::EndedEarly(*outcome.streamError), language_.GetString(kStringError));
}

QString ConversionPresenter::ClosingStatus(const ConversionSettings& settings) const
{
    return QStringLiteral("%1. %2 %3     %4 %5*%6")
        .arg(language_.GetString(kStringDone), language_.GetString(kStringOutputFile), settings.outputFolder,
             language_.GetString(kStringResolution))
        .arg(settings.outputWidth)
        .arg(settings.outputHeight);
}

QString ConversionPresenter::ProgressStatus(int seconds)
{
    return kProgress.arg(ClockText(seconds));
}
