// Feeds the input to the program as its English language file and reads
// every key back through the language pack, as start-up does.
#include "FuzzScratch.h"
#include "i18n/LanguageKeys.h"
#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "support/RecordingMessageService.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdlib>

namespace {

QString LanguageFilePath()
{
    return ScratchFolder() + QStringLiteral("/language/English.ini");
}

// Every text the windows could ask for; the built-in English stands in for
// the missing ones, so each lookup walks the loaded lists.
std::size_t ReadAllTexts(const LanguagePack& pack)
{
    std::size_t characters = 0;
    for (const LanguageKey& row : LanguageKeyTable())
        characters += static_cast<std::size_t>(pack.GetString(row.id).size() + pack.GetMenuText(row.id).size() +
                                               pack.GetDialogTextOrBuiltIn(row.id).size());
    return characters;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QDir().mkpath(ScratchFolder() + QStringLiteral("/language"));
    // The language pack makes the user-interface font, which needs the GUI application.
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!WriteInput(LanguageFilePath(), data, size))
        std::abort();
    Profile profile(ScratchFolder() + QStringLiteral("/profile.ini"));
    RecordingMessageService messages;
    LanguagePack pack(profile, messages);
    if (pack.Init(ScratchFolder(), QStringLiteral("English")) != 1)
        std::abort(); // the file was just written: the language must be listed
    volatile std::size_t characters = ReadAllTexts(pack);
    (void)characters;
    return 0;
}
