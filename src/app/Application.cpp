#include "app/Application.h"

#include "app/AppServices.h"
#include "app/MainWindow.h"
#include "app/ScreenshotTour.h"
#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "settings/ProfileNames.h"



void StartLanguage(AppServices& services)
{
    const QString stored =
        services.profile.GetText(ProfileNames::kOption, ProfileNames::kCurrentLanguage, QStringLiteral("english"));
    services.language.Init(LanguagePack::FindBaseDirectory(), stored);
}

int Application::Run(AppServices& services)
{
    StartLanguage(services);
    MainWindow window(services);
    if (!window.Usable())
        return 0;
    const QString screenshots = ScreenshotFolder();
    if (!screenshots.isEmpty())
        StartScreenshotTour(window, screenshots);
    window.exec();
    return 0;
}
