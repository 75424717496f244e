#include "app/MainWindow.h"

#include "app/AppServices.h"
#include "app/Application.h"
#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "platform/ui/MessageService.h"
#include "settings/ProfileNames.h"
#include "settings/SettingsStore.h"

namespace {
constexpr int kMainTemplate = 102;
constexpr int kStringStopConverting = 143;
constexpr int kStringWarning = 108;
} // namespace

MainWindow::MainWindow(AppServices& services, QWidget* parent) : QDialog(parent), services_(services)
{
    InitDialog();
}

void MainWindow::InitDialog()
{
    setWindowTitle(QStringLiteral("Framelift"));
    SettingsContext context{services_.profile, services_.knownFolders, services_.messages, this};
    LoadConversionSettings(context, settings_);
    const QString caption = services_.language.GetDialogText(kMainTemplate);
    if (!caption.isEmpty())
        setWindowTitle(caption);
}

bool MainWindow::CloseHandler()
{
    if (converting_) {
        services_.messages.Show(this, services_.language.GetString(kStringStopConverting),
                                services_.language.GetString(kStringWarning));
        return false;
    }
    services_.profile.WriteText(ProfileNames::kOption, ProfileNames::kCurrentLanguage,
                                services_.language.GetCurrentLanguage());
    return true;
}

void MainWindow::reject()
{
    if (CloseHandler())
        QDialog::reject();
}
