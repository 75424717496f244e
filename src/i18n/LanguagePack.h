#pragma once

#include "i18n/FontDescription.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

class MessageService;
class Profile;

enum class EncodingMark { Plain = 0, Unicode = 1, Utf8 = 2 };

struct LocaleMatch {
    bool matched = false;
    QString localeName; // lower-cased abbreviation, "english", or empty
    int primaryLanguage = 0;
    int subLanguage = 0;
};

// All user-visible text in the current language: the loaded language file's
// three sections, with the built-in English behind them. One per process.
class LanguagePack final {
public:
    using TextList = QList<std::pair<int, QString>>;

    LanguagePack(Profile& profile, MessageService& messages);
    LanguagePack(const LanguagePack&) = delete;
    LanguagePack& operator=(const LanguagePack&) = delete;

    // The folder that holds language/: beside the executable, its parent (a
    // build tree), then the installed data folder.
    static QString FindBaseDirectory();
    static QString FindBaseDirectory(const QString& executableDirectory, const QString& installedDirectory);

    int Init(const QString& baseDirectory, QString name);
    void SelectLanguage(QString& name);
    void LoadLanguage(const QString& name);
    static EncodingMark EncodingFromName(const QString& name);
    LocaleMatch MatchLocale(const QString& name) const;
    static QString Unescape(QString value);

    QString GetString(int id) const;
    QString GetDialogTextOrBuiltIn(int id) const;
    QString GetMenuText(int id) const;
    QString GetDialogText(int id) const;
    int GetLanguageCount() const { return static_cast<int>(languageNames.size()); }
    QString GetLanguageName(int index) const { return languageNames.at(index); }
    QString GetCurrentLanguage() const { return currentName; }

    // The font stored for the current language becomes the UiFont.
    void LoadUiFont();
    void SaveUiFont(const FontDescription& font);
    const std::optional<FontDescription>& UiFont() const { return uiFont; }
    void SetUiFont(const FontDescription& font) { uiFont = font; }

    const QStringList& LanguageNames() const { return languageNames; }
    const TextList& MenuTexts() const { return menuTexts; }
    const TextList& StringTexts() const { return stringTexts; }
    const TextList& DialogTexts() const { return dialogTexts; }
    const QString& BaseDirectory() const { return baseDirectory; }
    const QString& FilePath() const { return filePath; }
    EncodingMark GetEncodingMark() const { return encodingMark; }
    int PrimaryLanguage() const { return primaryLanguage; }
    int SubLanguage() const { return subLanguage; }
    Profile& GetProfile() { return profile_; }

private:
    void EnumerateLanguages();
    QString ListedSpelling(const QString& name) const;
    void ReadAllKeys();
    static void ApplyLocale(const QString& localeName);

    Profile& profile_;
    MessageService& messages_;

    QString currentName = QStringLiteral("english");
    QStringList languageNames;
    TextList menuTexts;
    TextList stringTexts;
    TextList dialogTexts;
    QString baseDirectory;
    int subLanguage = 1;
    int primaryLanguage = 9;
    QString filePath;
    EncodingMark encodingMark = EncodingMark::Plain;
    std::optional<FontDescription> uiFont;
};
