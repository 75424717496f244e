#include "app/AppServices.h"
#include "app/Application.h"
#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "platform/shell/KnownFolders.h"
#include "platform/ui/QtMessageService.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
    Profile profile(Profile::DefaultPath(QStringLiteral("Quenlar"), Application::Name()));
    QtMessageService messages;
    XdgKnownFolders knownFolders;
    LanguagePack language(profile, messages);
    AppServices services{profile, language, messages, knownFolders};
    return Application::Run(services);
}
