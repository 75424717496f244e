#pragma once

#include "app/AppServices.h"
#include "i18n/LanguagePack.h"
#include "media/ClipProbe.h"
#include "platform/media/PlaybackGraph.h"
#include "platform/profile/Profile.h"
#include "platform/shell/KnownFolders.h"
#include "platform/ui/SoundPlayer.h"
#include "support/FakeChoosers.h"
#include "support/FakeShell.h"
#include "support/RecordingMessageService.h"

#include <QTemporaryDir>

// Counts the sounds instead of playing them.
class SilentSoundPlayer final : public SoundPlayer {
public:
    void PlayAsync(const QByteArray&) override { ++plays; }
    int plays = 0;
};

// The services a window needs, on the real media libraries (playback headless), with a profile and a language folder of its
// own in a temporary folder, recorded message boxes, a fake shell and
// scripted choosers.
struct FakeAppServices {
    QString LanguageFolder() const { return dir.filePath(QStringLiteral("language")); }

    QTemporaryDir dir;
    Profile profile{dir.filePath(QStringLiteral("framelift.ini"))};
    RecordingMessageService messages;
    LanguagePack language{profile, messages};
    XdgKnownFolders knownFolders;
    FakeShell shell;
    FakeChoosers choosers;
    SilentSoundPlayer sounds;
    std::unique_ptr<PlaybackServices> playback = CreatePlatformPlaybackServices(true);
    AppServices services{profile, language, messages,  knownFolders,        shell,
                         choosers, sounds,  *playback, FfmpegProbeFactory()};
};
