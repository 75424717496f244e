// Feeds the input to the program as its profile file and reads the values
// start-up reads: the language, that language's font and the output options.
#include "FuzzScratch.h"
#include "i18n/FontDescription.h"
#include "platform/profile/Profile.h"
#include "platform/ui/ApplicationTitle.h"
#include "settings/ProfileNames.h"
#include "settings/SettingsStore.h"
#include "support/RecordingMessageService.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>

namespace {

QString ProfilePath()
{
    static const QString path = Profile::DefaultPath(QStringLiteral("Quenlar"), ApplicationTitle());
    return path;
}

// QSettings keeps the parsed copy of a file it has read and reads the file
// again only when its size or time stamp changed; a time of its own for
// every input makes it read each one.
void Stamp(QFile& file)
{
    static qint64 seconds = 0;
    file.setFileTime(QDateTime::fromSecsSinceEpoch(++seconds), QFileDevice::FileModificationTime);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    ScratchFolder();
    static QCoreApplication application(*argc, *argv);
    QDir().mkpath(QFileInfo(ProfilePath()).path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QFile file(ProfilePath());
    if (!WriteInput(ProfilePath(), data, size) || !file.open(QIODevice::ReadWrite))
        std::abort();
    Stamp(file);
    file.close();

    Profile profile(ProfilePath());
    const QString language =
        profile.GetText(ProfileNames::kOption, ProfileNames::kCurrentLanguage, QStringLiteral("english"));
    LoadFontDescription(profile, language);
    XdgKnownFolders folders;
    RecordingMessageService messages;
    SettingsContext context{profile, folders, messages};
    // Reading, not loading: loading creates the folder the profile names,
    // which could be anywhere on this machine.
    ReadConversionSettings(context);
    return 0;
}
