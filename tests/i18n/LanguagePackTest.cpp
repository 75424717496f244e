#include "i18n/LanguageFile.h"
#include "i18n/LanguagePack.h"
#include "i18n/UiFont.h"
#include "platform/profile/Profile.h"
#include "resources/StringIds.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kConvertButton = 1000;

class LanguagePackTest : public ::testing::Test {
protected:
    void AddFile(const QString& name, const QByteArray& bytes)
    {
        WriteFile(dir.filePath(QStringLiteral("language/") + name), bytes);
    }
    int Init(const QString& name) { return pack.Init(dir.path(), name); }

    QTemporaryDir dir;
    Profile profile{dir.filePath(QStringLiteral("profile.ini"))};
    RecordingMessageService messages;
    LanguagePack pack{profile, messages};
};

const QByteArray kFrench = "[DIALOG]\nIDC_BUTTON_CONVERT=Convertir\n[STRING]\nIDS_MESSAGE_WARNING=Attention\n"
                           "[MENU]\nIDM_ABOUT=A propos\n";

TEST_F(LanguagePackTest, WithoutLanguageFilesEveryLookupIsBuiltIn)
{
    EXPECT_EQ(Init(QStringLiteral("french")), 0);
    EXPECT_EQ(pack.GetCurrentLanguage(), QStringLiteral("english"));
    EXPECT_EQ(pack.GetString(kStringWarning), QStringLiteral("Warning"));
    EXPECT_EQ(pack.GetString(101), QStringLiteral("&About Framelift"));
    EXPECT_EQ(pack.GetDialogTextOrBuiltIn(124), QStringLiteral("Stop"));
    EXPECT_EQ(pack.GetDialogText(kConvertButton), QString());
    EXPECT_TRUE(pack.StringTexts().isEmpty());
    EXPECT_FALSE(pack.UiFont().has_value());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(LanguagePackTest, LanguagesAreListedInByteOrderWithoutTheirExtension)
{
    AddFile(QStringLiteral("french.ini"), kFrench);
    AddFile(QStringLiteral("German.ini"), "");
    AddFile(QStringLiteral("English.ini"), "");
    AddFile(QStringLiteral("notes.txt"), "");
    ASSERT_EQ(Init(QStringLiteral("english")), 1);
    EXPECT_EQ(pack.LanguageNames(), (QStringList{QStringLiteral("English"), QStringLiteral("German"),
                                                 QStringLiteral("french")}));
}

TEST_F(LanguagePackTest, LoadingAFileFillsEveryKeyRowInTableOrder)
{
    AddFile(QStringLiteral("French.ini"), kFrench);
    ASSERT_EQ(Init(QStringLiteral("French")), 1);
    EXPECT_EQ(pack.GetDialogText(kConvertButton), QStringLiteral("Convertir"));
    EXPECT_EQ(pack.GetDialogTextOrBuiltIn(kStringConvert), QStringLiteral("Convertir"));
    EXPECT_EQ(pack.GetString(kStringWarning), QStringLiteral("Attention"));
    EXPECT_EQ(pack.GetMenuText(32778), QStringLiteral("A propos"));
    // Keys without a value keep their place with empty text and fall back to built-in text.
    EXPECT_EQ(pack.StringTexts().size(), 29);
    EXPECT_EQ(pack.DialogTexts().size(), 42);
    EXPECT_EQ(pack.MenuTexts().size(), 3);
    EXPECT_EQ(pack.GetString(kStringError), QStringLiteral("Error"));
    EXPECT_EQ(pack.GetDialogText(1058), QString());
    EXPECT_EQ(pack.PrimaryLanguage(), 12);
    EXPECT_EQ(pack.SubLanguage(), 0);
    EXPECT_EQ(pack.FilePath(), dir.filePath(QStringLiteral("language/French.ini")));
}

TEST_F(LanguagePackTest, SelectionIgnoresCaseAndFallsBackToEnglish)
{
    AddFile(QStringLiteral("French.ini"), kFrench);
    ASSERT_EQ(Init(QStringLiteral("FRENCH")), 1);
    EXPECT_EQ(pack.GetCurrentLanguage(), QStringLiteral("FRENCH"));
    EXPECT_EQ(pack.FilePath(), dir.filePath(QStringLiteral("language/French.ini")));
    EXPECT_EQ(pack.GetString(kStringWarning), QStringLiteral("Attention"));

    QString missing = QStringLiteral("English");
    pack.SelectLanguage(missing);
    EXPECT_EQ(missing, QStringLiteral("english"));
    EXPECT_EQ(pack.GetCurrentLanguage(), QStringLiteral("english"));
    EXPECT_EQ(pack.GetString(kStringWarning), QStringLiteral("Warning"));
}

TEST_F(LanguagePackTest, FileNamesSelectTheirLocale)
{
    struct Case {
        const char* file;
        int primary;
        int sub;
    };
    const Case cases[] = {
        {"Japanese_utf-8", 0x11, 0},  {"chs", 0x04, 0x02},         {"deu", 0x07, 0},
        {"German_Austria", 0x07, 0x03}, {"Chinese_Traditional_unicode", 0x04, 31}, {"Yi_PRC", 0x78, 0x01},
        {"Spanish_United States", 0x0A, 0x15}, {"eng", 0x09, 0x02}, {"english", 9, 1},
    };
    for (const Case& c : cases)
        AddFile(QString::fromLatin1(c.file) + QStringLiteral(".ini"), "");
    ASSERT_EQ(Init(QStringLiteral("english")), 1);
    for (const Case& c : cases) {
        QString name = QString::fromLatin1(c.file);
        pack.SelectLanguage(name);
        EXPECT_EQ(pack.GetCurrentLanguage(), QString::fromLatin1(c.file));
        EXPECT_EQ(pack.PrimaryLanguage(), c.primary) << c.file;
        EXPECT_EQ(pack.SubLanguage(), c.sub) << c.file;
    }
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.Texts().join(u'|').toStdString();
    EXPECT_EQ(LanguagePack::EncodingFromName(QStringLiteral("Japanese_UTF-8")), EncodingMark::Utf8);
    EXPECT_EQ(LanguagePack::EncodingFromName(QStringLiteral("x_Unicode")), EncodingMark::Unicode);
    EXPECT_EQ(LanguagePack::EncodingFromName(QStringLiteral("French")), EncodingMark::Plain);
}

TEST_F(LanguagePackTest, AnUnknownNameIsReportedButItsTextsAreStillUsed)
{
    AddFile(QStringLiteral("English_United_Kingdom.ini"), "[STRING]\nIDS_MESSAGE_WARNING=Mind out\n");
    ASSERT_EQ(Init(QStringLiteral("English_United_Kingdom")), 1);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Your language file name may be not proper,\n please read the help file!"));
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("english_united_kingdom"));
    EXPECT_EQ(pack.GetString(kStringWarning), QStringLiteral("Mind out"));
    EXPECT_EQ(pack.PrimaryLanguage(), 9);
    EXPECT_EQ(pack.SubLanguage(), 1);
}

TEST_F(LanguagePackTest, ValuesAreUnescapedTrimmedUnquotedAndCut)
{
    const QByteArray longValue(100000, 'x');
    AddFile(QStringLiteral("French.ini"),
            "[string]\n"
            "ids_message_warning = \"  quoted  \" \n"
            "IDS_MESSAGE_ERROR=A\\\\nB\n"
            "IDS_MESSAGE_DONE_IGNORED=zzz\n"
            "IDS_MESSAGE_CONVERSION_DONE=Line one\\nLine two\\tend\\r\n"
            "IDS_MESSAGE_NO_DURATION=" + longValue + "\n"
            "IDS_MESSAGE_RESTART_PROGRAM=\n"
            "IDS_MESSAGE_WARNING=second value is ignored\n");
    ASSERT_EQ(Init(QStringLiteral("French")), 1);
    EXPECT_EQ(pack.GetString(kStringWarning), QStringLiteral("  quoted  "));
    EXPECT_EQ(pack.GetString(kStringError), QStringLiteral("A\\\nB"));
    EXPECT_EQ(pack.GetString(163), QStringLiteral("Line one\nLine two\tend\r"));
    EXPECT_EQ(pack.GetString(123).size(), 2047);
    EXPECT_EQ(pack.GetString(126), QStringLiteral("Please restart the program"));
}

TEST_F(LanguagePackTest, EncodingsReachTheProgramAsText)
{
    const QString japanese = QStringLiteral(u"変換");
    const QString text = QStringLiteral("[DIALOG]\r\nIDC_BUTTON_CONVERT=") + japanese + QStringLiteral("\r\n");
    QByteArray utf16le("\xFF\xFE");
    for (const QChar c : text) {
        utf16le.append(static_cast<char>(c.unicode() & 0xFF));
        utf16le.append(static_cast<char>(c.unicode() >> 8));
    }
    QByteArray utf16be("\xFE\xFF");
    for (const QChar c : text) {
        utf16be.append(static_cast<char>(c.unicode() >> 8));
        utf16be.append(static_cast<char>(c.unicode() & 0xFF));
    }
    EXPECT_EQ(LanguageFile::Parse(utf16le).ReadValue(QStringLiteral("DIALOG"), QStringLiteral("IDC_BUTTON_CONVERT")), japanese);
    EXPECT_EQ(LanguageFile::Parse(utf16be).ReadValue(QStringLiteral("DIALOG"), QStringLiteral("IDC_BUTTON_CONVERT")), japanese);
    EXPECT_EQ(LanguageFile::Parse("\xEF\xBB\xBF" + text.toUtf8())
                  .ReadValue(QStringLiteral("dialog"), QStringLiteral("idc_button_convert")),
              japanese);
    // Not valid UTF-8: read as Windows-1252.
    EXPECT_EQ(LanguageFile::Parse("[STRING]\nK=Caf\xE9 \x80\n").ReadValue(QStringLiteral("STRING"), QStringLiteral("K")),
              QStringLiteral(u"Café €"));
}

TEST_F(LanguagePackTest, DamagedFilesLoadWithoutHarm)
{
    QByteArray binary;
    for (int i = 0; i < 65536; ++i)
        binary.append(static_cast<char>((i * 131) % 256));
    AddFile(QStringLiteral("French.ini"), binary);
    // Cut off in the middle of a line: what is there is read.
    AddFile(QStringLiteral("German.ini"), "[DIALOG]\nIDC_BUTTON_PLAY=Abspielen\nIDC_BUTTON_CONVERT=Konv");
    AddFile(QStringLiteral("Spanish.ini"), QByteArray("\xFF\xFE[", 3));
    ASSERT_EQ(Init(QStringLiteral("French")), 1);
    EXPECT_EQ(pack.GetString(kStringWarning), QStringLiteral("Warning"));
    QString german = QStringLiteral("German");
    pack.SelectLanguage(german);
    EXPECT_EQ(pack.GetDialogText(1058), QStringLiteral("Abspielen"));
    EXPECT_EQ(pack.GetDialogText(kConvertButton), QStringLiteral("Konv"));
    QString spanish = QStringLiteral("Spanish");
    pack.SelectLanguage(spanish);
    EXPECT_EQ(pack.GetString(kStringWarning), QStringLiteral("Warning"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(LanguagePackTest, TheFontIsRememberedPerLanguage)
{
    AddFile(QStringLiteral("German.ini"), "");
    AddFile(QStringLiteral("English.ini"), "");
    ASSERT_EQ(Init(QStringLiteral("German")), 1);
    ASSERT_TRUE(pack.UiFont().has_value());
    EXPECT_EQ(LoadFontDescription(profile, QStringLiteral("German")), FontDescription{});

    FontDescription bold;
    bold.lfFaceName = QStringLiteral("DejaVu Sans");
    bold.lfHeight = -16;
    bold.lfWeight = 700;
    pack.SaveUiFont(bold);
    EXPECT_EQ(profile.GetInt(QStringLiteral("German"), QStringLiteral("lfWeight"), 0), 700);
    EXPECT_EQ(profile.GetInt(QStringLiteral("German"), QStringLiteral("lfHeight"), 0), -16);

    QString english = QStringLiteral("English");
    pack.SelectLanguage(english);
    EXPECT_EQ(pack.UiFont(), FontDescription{});

    QString german = QStringLiteral("German");
    pack.SelectLanguage(german);
    EXPECT_EQ(pack.UiFont(), bold);
}

TEST_F(LanguagePackTest, EightBitFontFieldsTakeTheLowBits)
{
    profile.WriteInt(QStringLiteral("english"), QStringLiteral("lfItalic"), 257);
    profile.WriteInt(QStringLiteral("english"), QStringLiteral("lfCharSet"), 511);
    const FontDescription font = LoadFontDescription(profile, QStringLiteral("english"));
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfCharSet, 255);
    EXPECT_TRUE(ToQFont(font).italic());
}

TEST(FindBaseDirectory, PrefersTheExecutablesFolderThenItsParentThenTheInstalledOne)
{
    QTemporaryDir root;
    const QString exe = root.filePath(QStringLiteral("tree/bin"));
    const QString installed = root.filePath(QStringLiteral("share/framelift"));
    QDir().mkpath(exe);
    EXPECT_EQ(LanguagePack::FindBaseDirectory(exe, installed), exe);
    WriteFile(installed + QStringLiteral("/language/English.ini"), "");
    EXPECT_EQ(LanguagePack::FindBaseDirectory(exe, installed), installed);
    WriteFile(root.filePath(QStringLiteral("tree/language/English.ini")), "");
    EXPECT_EQ(LanguagePack::FindBaseDirectory(exe, installed), root.filePath(QStringLiteral("tree")));
    WriteFile(exe + QStringLiteral("/language/English.ini"), "");
    EXPECT_EQ(LanguagePack::FindBaseDirectory(exe, installed), exe);
}

} // namespace
