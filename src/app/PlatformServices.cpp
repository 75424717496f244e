#include "app/PlatformServices.h"

#include "app/AppServices.h"
#include "i18n/LanguagePack.h"
#include "media/ClipProbe.h"
#include "platform/media/PlaybackGraph.h"
#include "platform/profile/Profile.h"
#include "platform/shell/KnownFolders.h"
#include "platform/shell/Shell.h"
#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/QtMessageService.h"
#include "platform/ui/SoundPlayer.h"

int RunOnPlatformServices(const std::function<int(AppServices&)>& body)
{
    Profile profile(Profile::DefaultPath(QStringLiteral("Quenlar"), ApplicationTitle()));
    QtMessageService messages;
    XdgKnownFolders knownFolders;
    DesktopShell shell;
    QtChoosers choosers;
    ProcessSoundPlayer sounds;
    LanguagePack language(profile, messages);
    const std::unique_ptr<PlaybackServices> playback = CreatePlatformPlaybackServices(false);
    AppServices services{profile, language, messages,  knownFolders,        shell,
                         choosers, sounds,  *playback, FfmpegProbeFactory()};
    return body(services);
}
