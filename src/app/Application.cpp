#include "app/Application.h"

#include "app/AppServices.h"
#include "app/MainWindow.h"
#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "settings/ProfileNames.h"

#include <QEventLoop>

void StartLanguage(AppServices& services)
{
    const QString stored =
        services.profile.GetText(ProfileNames::kOption, ProfileNames::kCurrentLanguage, QStringLiteral("english"));
    services.language.Init(LanguagePack::FindBaseDirectory(), stored);
}

// The window runs in a loop of its own without being modal, so that it blocks
// no other window of the program: the preview window takes the mouse and the
// keyboard while the main window is open. The loop ends when the window does.
void RunUntilClosed(MainWindow& window)
{
    QEventLoop loop;
    QObject::connect(&window, &QDialog::finished, &loop, &QEventLoop::quit);
    window.show();
    loop.exec(QEventLoop::DialogExec);
}

int Application::Run(AppServices& services)
{
    StartLanguage(services);
    MainWindow window(services);
    RunUntilClosed(window);
    return 0;
}
