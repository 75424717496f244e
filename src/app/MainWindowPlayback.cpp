// The main window's commands for the clip, its playback and the conversion.
// They act on what the window holds now; opening a clip, the preview player
// and the conversion job complete them where those live.
#include "app/MainWindow.h"

#include "app/AppServices.h"
#include "app/Application.h"
#include "app/MainWindowTexts.h"
#include "i18n/LanguagePack.h"
#include "i18n/Translate.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/MessageService.h"
#include "settings/OptionsDialog.h"
#include "settings/StatusText.h"

#include <QSlider>

using namespace MainWindowTexts;

namespace {
constexpr int kOptionsTemplate = 129;
} // namespace

// Choosing and probing a clip come with the clip layer.
void MainWindow::OnOpenVideo() {}

void MainWindow::OnOptions()
{
    if (converting_)
        return;
    OptionsContext context{services_.profile, services_.language, services_.messages,
                           [this](QWidget* owner, const QString& title) {
                               return services_.choosers.ChooseFolder(owner, title, settings_.outputFolder);
                           },
                           [this](QWidget& dialog, int templateId) {
                               TranslateDialog(services_.language, dialog, templateId);
                           }};
    OptionsDialog dialog(context, settings_, clip_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    TakeOptions(services_.profile, dialog, settings_);
    SetStatusText(OutputStatusText(services_.language, settings_, clip_));
}

// The checks that need no conversion job: a clip must be open, and a running
// job is stopped. The job's own checks and its start follow them.
void MainWindow::OnConvert()
{
    const LanguagePack& language = services_.language;
    if (clip_.videoItemCount == 0) {
        services_.messages.Show(this, language.GetString(kStringOpenVideo), language.GetString(kStringError));
        return;
    }
    if (converting_)
        EndConversion();
}

// Play, Pause, Stop, Start Time and End Time act on the preview player of
// the open clip, which the clip layer creates; before a clip is open there is
// no player and each of them does nothing, as with a closed clip.
void MainWindow::OnPlay() {}
void MainWindow::OnPause() {}
void MainWindow::OnStop() {}
void MainWindow::OnStartTime() {}
void MainWindow::OnEndTime() {}

// Without a player (or a clip of length 0) a released seek bar only
// remembers its position.
void MainWindow::OnSeekReleased()
{
    seekPos = controls_.Get<QSlider>(kIdSeekBar)->value();
}

// The clip is dropped: the preview window posts this when it closes.
void MainWindow::OnCloseClip()
{
    seekPos = 0;
    controls_.Get<QSlider>(kIdSeekBar)->setValue(0);
    clip_.videoItemCount = 0;
    markStart = 0;
    markEnd = 0;
    SetBoxText(kIdStartTimeBox, kZeroClock);
    SetBoxText(kIdEndTimeBox, kZeroClock);
    SetBoxText(kIdPositionBox, QString());
    DisablePlaybackControls();
}

// Without a player the position box is empty; the seek bar is left alone
// while the user drags it.
void MainWindow::OnPositionRefresh()
{
    if (Application::seekDragging == 1)
        return;
    SetBoxText(kIdPositionBox, QString());
}

// The conversion graph's events: the end of the range ends the conversion;
// every other event leaves it running.
void MainWindow::OnGraphEvent(long long eventCode)
{
    if (converting_ && eventCode == kEventComplete)
        EndConversion();
}
