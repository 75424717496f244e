// Feeds the input to the program as its English language file and reads
// every key back through the language pack, as start-up does.
#include "FuzzScratch.h"
#include "i18n/LanguageFile.h"
#include "i18n/LanguageKeys.h"
#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "support/RecordingMessageService.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>

namespace {

QString LanguageFilePath()
{
    return ScratchFolder() + QStringLiteral("/language/English.ini");
}

// Every text the windows could ask for; the built-in English stands in for
// the missing ones, so each lookup walks the loaded lists.
void ReadAllTexts(const LanguagePack& pack)
{
    for (const LanguageKey& row : LanguageKeyTable()) {
        pack.GetString(row.id);
        pack.GetMenuText(row.id);
        pack.GetDialogTextOrBuiltIn(row.id);
    }
}

// A value read from the file is never longer than the reader's limit.
void CheckLengths(const LanguagePack::TextList& texts)
{
    for (const auto& [id, text] : texts)
        if (text.toUtf8().size() > LanguageFile::kMaxValueBytes) {
            std::fprintf(stderr, "text %d has %lld bytes\n", id, static_cast<long long>(text.toUtf8().size()));
            std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    QDir().mkpath(ScratchFolder() + QStringLiteral("/language"));
    static QCoreApplication application(*argc, *argv);
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
    ReadAllTexts(pack);
    for (const LanguagePack::TextList* texts : {&pack.MenuTexts(), &pack.DialogTexts(), &pack.StringTexts()})
        CheckLengths(*texts);
    return 0;
}
