#include "i18n/LanguageFile.h"
#include "i18n/LanguageKeys.h"
#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "support/RecordingMessageService.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kShipped = QStringLiteral(FRAMELIFT_SOURCE_DIR "/language");

QString SectionName(LanguageSection section)
{
    switch (section) {
    case LanguageSection::Menu: return QStringLiteral("MENU");
    case LanguageSection::Dialog: return QStringLiteral("DIALOG");
    default: return QStringLiteral("STRING");
    }
}

TEST(ShippedLanguages, EveryFileTranslatesEveryKey)
{
    const QStringList files = QDir(kShipped).entryList({QStringLiteral("*.ini")}, QDir::Files);
    ASSERT_GE(files.size(), 5);
    for (const QString& file : files) {
        const LanguageFile language = LanguageFile::Load(kShipped + u'/' + file);
        for (const LanguageKey& row : LanguageKeyTable()) {
            const QString key = QString::fromLatin1(row.key.data(), static_cast<qsizetype>(row.key.size()));
            EXPECT_FALSE(language.ReadValue(SectionName(SectionOfKey(row.key)), key).isEmpty())
                << file.toStdString() << " lacks " << key.toStdString();
        }
    }
}

TEST(ShippedLanguages, EnglishRepeatsTheBuiltInTexts)
{
    const LanguageFile english = LanguageFile::Load(kShipped + QStringLiteral("/English.ini"));
    for (const LanguageKey& row : LanguageKeyTable()) {
        const QString key = QString::fromLatin1(row.key.data(), static_cast<qsizetype>(row.key.size()));
        EXPECT_EQ(english.ReadValue(SectionName(SectionOfKey(row.key)), key).toStdString(), row.builtIn) << row.key;
    }
}

TEST(ShippedLanguages, EachNameSelectsALocaleWithoutComplaint)
{
    QTemporaryDir dir;
    Profile profile(dir.filePath(QStringLiteral("p.ini")));
    RecordingMessageService messages;
    LanguagePack pack(profile, messages);
    ASSERT_EQ(pack.Init(QStringLiteral(FRAMELIFT_SOURCE_DIR), QStringLiteral("Japanese_utf-8")), 1);
    EXPECT_EQ(pack.GetDialogText(1000), QStringLiteral(u"変換"));
    EXPECT_EQ(pack.PrimaryLanguage(), 0x11);
    for (int i = 0; i < pack.GetLanguageCount(); ++i) {
        QString name = pack.GetLanguageName(i);
        pack.SelectLanguage(name);
    }
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.Texts().join(u'|').toStdString();
}

} // namespace
