#include "i18n/LanguagePack.h"

#include "i18n/LanguageFile.h"
#include "i18n/LanguageKeys.h"
#include "i18n/LocaleTable.h"
#include "platform/profile/Profile.h"
#include "platform/shell/DataFolders.h"
#include "platform/ui/MessageService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <clocale>

namespace {

const QString kEnglish = QStringLiteral("english");
const QString kUtf8Marker = QStringLiteral("_utf-8");
const QString kUnicodeMarker = QStringLiteral("_unicode");
const QString kBadFileName =
    QStringLiteral("Your language file name may be not proper,\n please read the help file!");

QString FirstText(const LanguagePack::TextList& list, int id)
{
    const auto found = std::find_if(list.begin(), list.end(), [id](const auto& entry) { return entry.first == id; });
    return found == list.end() ? QString() : found->second;
}

QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool HasEnglishFile(const QString& directory)
{
    return QFileInfo(directory + QStringLiteral("/language/English.ini")).isFile();
}

} // namespace

LanguagePack::LanguagePack(Profile& profile, MessageService& messages) : profile_(profile), messages_(messages) {}

QString LanguagePack::FindBaseDirectory()
{
    return FindBaseDirectory(QCoreApplication::applicationDirPath(), QStringLiteral(FRAMELIFT_DATADIR));
}

QString LanguagePack::FindBaseDirectory(const QString& executableDirectory, const QString& installedDirectory)
{
    for (const QString& candidate : DataFolderCandidates(executableDirectory, installedDirectory))
        if (HasEnglishFile(candidate))
            return candidate;
    return executableDirectory;
}

int LanguagePack::Init(const QString& directory, QString name)
{
    baseDirectory = directory;
    languageNames.clear();
    EnumerateLanguages();
    if (languageNames.isEmpty())
        return 0;
    SelectLanguage(name);
    return 1;
}

void LanguagePack::EnumerateLanguages()
{
    const QDir folder(baseDirectory + QStringLiteral("/language"));
    // The pattern matches without regard to case, as on the platform the files come from.
    const QStringList files = folder.entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::NoSort);
    for (const QString& file : files)
        languageNames.append(file.chopped(4));
    // Plain byte order, so "English" sorts before "french".
    std::sort(languageNames.begin(), languageNames.end(),
              [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
}

// File names are case-sensitive here: open the file as it is spelled on disk,
// whatever case the stored name has.
QString LanguagePack::ListedSpelling(const QString& name) const
{
    for (const QString& language : languageNames)
        if (language.compare(name, Qt::CaseInsensitive) == 0)
            return language;
    return name;
}

void LanguagePack::SelectLanguage(QString& name)
{
    menuTexts.clear();
    stringTexts.clear();
    dialogTexts.clear();
    currentName = kEnglish;
    const bool listed = std::any_of(languageNames.begin(), languageNames.end(), [&](const QString& language) {
        return language.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (listed)
        currentName = name;
    if (name != currentName)
        name = kEnglish;
    LoadLanguage(name);
}

void LanguagePack::LoadLanguage(const QString& name)
{
    if (languageNames.isEmpty())
        return;
    encodingMark = EncodingFromName(name);
    const LocaleMatch locale = MatchLocale(name);
    if (locale.matched) {
        primaryLanguage = locale.primaryLanguage;
        subLanguage = locale.subLanguage;
    }
    filePath = baseDirectory + QStringLiteral("/language/") + ListedSpelling(name) + QStringLiteral(".ini");
    ReadAllKeys();
    ApplyLocale(locale.localeName);
    LoadUiFont();
}

void LanguagePack::ReadAllKeys()
{
    const LanguageFile file = LanguageFile::Load(filePath);
    for (const LanguageKey& row : LanguageKeyTable()) {
        const QString key = FromView(row.key);
        switch (SectionOfKey(row.key)) {
        case LanguageSection::Menu:
            menuTexts.append({row.id, Unescape(file.ReadValue(QStringLiteral("MENU"), key))});
            break;
        case LanguageSection::Dialog:
            dialogTexts.append({row.id, Unescape(file.ReadValue(QStringLiteral("DIALOG"), key))});
            break;
        case LanguageSection::String:
            stringTexts.append({row.id, Unescape(file.ReadValue(QStringLiteral("STRING"), key))});
            break;
        case LanguageSection::None:
            break;
        }
    }
}

// Numbers are always written and read with a decimal point, whatever the language.
void LanguagePack::ApplyLocale(const QString& localeName)
{
    std::setlocale(LC_ALL, localeName.toUtf8().constData());
    std::setlocale(LC_NUMERIC, "C");
}

EncodingMark LanguagePack::EncodingFromName(const QString& name)
{
    const QString lower = name.toLower();
    if (lower.contains(kUtf8Marker))
        return EncodingMark::Utf8;
    if (lower.contains(kUnicodeMarker))
        return EncodingMark::Unicode;
    return EncodingMark::Plain;
}

LocaleMatch LanguagePack::MatchLocale(const QString& name) const
{
    QString lower = name.toLower();
    if (encodingMark == EncodingMark::Utf8)
        lower.chop(kUtf8Marker.size());
    else if (encodingMark == EncodingMark::Unicode)
        lower.chop(kUnicodeMarker.size());
    if (lower == kEnglish)
        return {true, kEnglish, 9, 1};
    for (const LocaleRow& row : kLocaleTable) {
        const QString rowName = FromView(row.name).toLower();
        const QString abbreviation = FromView(row.abbreviation).toLower();
        if (lower == rowName || lower == abbreviation)
            return {true, abbreviation, row.langId & 0x3FF, row.langId >> 10};
    }
    messages_.Show(nullptr, kBadFileName, lower);
    return {};
}

QString LanguagePack::Unescape(QString value)
{
    value.replace(QStringLiteral("\\t"), QStringLiteral("\t"));
    value.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    value.replace(QStringLiteral("\\r"), QStringLiteral("\r"));
    return value;
}

QString LanguagePack::GetString(int id) const
{
    const QString text = FirstText(stringTexts, id);
    return text.isEmpty() ? FromView(BuiltInString(id)) : text;
}

QString LanguagePack::GetDialogTextOrBuiltIn(int id) const
{
    const QString text = FirstText(dialogTexts, id);
    return text.isEmpty() ? FromView(BuiltInString(id)) : text;
}

QString LanguagePack::GetMenuText(int id) const { return FirstText(menuTexts, id); }

QString LanguagePack::GetDialogText(int id) const { return FirstText(dialogTexts, id); }

void LanguagePack::LoadUiFont()
{
    // A face that is not installed is substituted when the font is used, so
    // there is no failure to report here.
    uiFont = LoadFontDescription(profile_, currentName);
}

void LanguagePack::SaveUiFont(const FontDescription& font)
{
    SaveFontDescription(profile_, currentName, font);
}
