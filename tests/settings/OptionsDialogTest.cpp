#include "i18n/LanguagePack.h"
#include "i18n/Translate.h"
#include "platform/profile/Profile.h"
#include "settings/OptionsDialog.h"
#include "settings/ProfileNames.h"
#include "settings/StatusText.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace ProfileNames;

class OptionsDialogTest : public ::testing::Test {
protected:
    OptionsDialogTest()
    {
        settings.outputFolder = dir.path() + u'/';
        context.chooseFolder = [this](QWidget*, const QString& title) {
            chooserTitles.append(title);
            return chosenFolder;
        };
    }

    std::unique_ptr<OptionsDialog> Open(const ClipFacts& clip = {})
    {
        return std::make_unique<OptionsDialog>(context, settings, clip);
    }
    static QComboBox* Combo(OptionsDialog& dialog, int id) { return qobject_cast<QComboBox*>(dialog.Control(id)); }
    static QLineEdit* Edit(OptionsDialog& dialog, int id) { return qobject_cast<QLineEdit*>(dialog.Control(id)); }
    static void Choose(OptionsDialog& dialog, int listId, int entry)
    {
        QComboBox* list = Combo(dialog, listId);
        list->setCurrentIndex(entry);
        Q_EMIT list->activated(entry);
    }
    static void PressOk(OptionsDialog& dialog) { qobject_cast<QPushButton*>(dialog.Control(1082))->click(); }
    int StoredInt(const QString& section, const QString& key) const { return profile.GetInt(section, key, -99); }
    bool NothingStored() const { return !QFileInfo::exists(profile.FilePath()); }

    QTemporaryDir dir;
    Profile profile{dir.filePath(QStringLiteral("config/framelift.ini"))};
    RecordingMessageService messages;
    LanguagePack language{profile, messages};
    OptionsContext context{profile, language, messages, {}, {}};
    ConversionSettings settings;
    std::optional<QString> chosenFolder;
    QStringList chooserTitles;
};

TEST_F(OptionsDialogTest, TheFirstResolutionEntryNamesTheClipsSize)
{
    EXPECT_EQ(Combo(*Open(), 1025)->itemText(0), QStringLiteral("Original size"));

    settings.outputWidth = 720;
    settings.outputHeight = 480;
    auto dialog = Open({720, 480, 25.0, 1});
    EXPECT_EQ(Combo(*dialog, 1025)->itemText(0), QStringLiteral("Original size 720*480"));
    // The clip's own size wins over the equal preset.
    EXPECT_EQ(Combo(*dialog, 1025)->currentIndex(), 0);
    EXPECT_TRUE(Edit(*dialog, 1027)->isHidden());
    EXPECT_EQ(Combo(*dialog, 1068)->itemText(0), QStringLiteral("Original frame rate 25.000"));
}

TEST_F(OptionsDialogTest, APresetSizeIsStoredAndShownOnTheStatusLine)
{
    const ClipFacts clip{1920, 1080, 25.0, 1};
    settings.outputWidth = 1920;
    settings.outputHeight = 1080;
    auto dialog = Open(clip);
    Choose(*dialog, 1025, 1);
    PressOk(*dialog);
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(StoredInt(kSettings, kOutputWidth), 640);
    EXPECT_EQ(StoredInt(kSettings, kOutputHeight), 480);
    settings = dialog->Result();
    EXPECT_TRUE(OutputStatusText(language, settings, clip).endsWith(QStringLiteral("     Resolution: 640*480")));
    EXPECT_EQ(OutputStatusText(language, settings, {}),
              QStringLiteral("Output file: ") + dir.path() + QStringLiteral("/     Resolution: Original size"));
}

TEST_F(OptionsDialogTest, CustomSizeShowsTheSizeTheDialogOpenedWith)
{
    settings.outputWidth = 640;
    settings.outputHeight = 480;
    auto dialog = Open({1280, 720, 30.0, 1});
    Choose(*dialog, 1025, 0);
    EXPECT_EQ(Edit(*dialog, 1027)->text(), QStringLiteral("1280"));
    Choose(*dialog, 1025, 8);
    EXPECT_FALSE(Edit(*dialog, 1027)->isHidden());
    EXPECT_EQ(Edit(*dialog, 1027)->text(), QStringLiteral("640"));
    EXPECT_EQ(Edit(*dialog, 1028)->text(), QStringLiteral("480"));
    Edit(*dialog, 1027)->setText(QStringLiteral("0"));
    PressOk(*dialog);
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Please enter an integer between 1 and 16384.")});
    EXPECT_TRUE(NothingStored());
}

TEST_F(OptionsDialogTest, OnlyJpegEnablesTheQualityControls)
{
    auto dialog = Open();
    QStringList offered;
    for (int i = 0; i < Combo(*dialog, 1090)->count(); ++i)
        offered.append(Combo(*dialog, 1090)->itemText(i));
    EXPECT_EQ(offered, (QStringList{"BMP", "JPG", "PNG", "TIF"}));
    const auto qualityEnabled = [&] {
        return dialog->Control(1091)->isEnabled() && dialog->Control(1092)->isEnabled() && dialog->Control(1094)->isEnabled();
    };
    EXPECT_FALSE(qualityEnabled());
    Choose(*dialog, 1090, 1);
    EXPECT_TRUE(qualityEnabled());
    Choose(*dialog, 1090, 2);
    EXPECT_FALSE(dialog->Control(1091)->isEnabled() || dialog->Control(1092)->isEnabled() ||
                 dialog->Control(1094)->isEnabled());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(OptionsDialogTest, BadNumbersKeepTheDialogOpenAndStoreNothing)
{
    struct Case {
        const char* quality;
        const char* interval;
        const char* message;
    };
    const Case cases[] = {
        {"0", "1", "Please enter an integer between 1 and 100."},
        {"101", "1", "Please enter an integer between 1 and 100."},
        {"good", "1", "Please enter an integer."},
        {"80", "0", "Please enter an integer between 1 and 65535."},
        {"80", "65536", "Please enter an integer between 1 and 65535."},
        {"80", "3x", "Please enter an integer."},
    };
    for (const Case& c : cases) {
        messages.shown.clear();
        auto dialog = Open();
        dialog->show();
        Edit(*dialog, 1092)->setText(QString::fromLatin1(c.quality));
        Edit(*dialog, 1096)->setText(QString::fromLatin1(c.interval));
        PressOk(*dialog);
        EXPECT_TRUE(dialog->isVisible()) << c.quality << "/" << c.interval;
        EXPECT_EQ(messages.Texts(), QStringList{QString::fromLatin1(c.message)}) << c.quality << "/" << c.interval;
        EXPECT_EQ(messages.shown.value(0).caption, QStringLiteral("test_settings"));
        EXPECT_TRUE(NothingStored());
    }
}

TEST_F(OptionsDialogTest, TheFolderIsCreatedOneLevelDeepOnOk)
{
    auto dialog = Open();
    Edit(*dialog, 1087)->setText(dir.filePath(QStringLiteral("a/b")));
    PressOk(*dialog);
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Can not create the directory")});
    EXPECT_EQ(messages.shown[0].caption, dir.filePath(QStringLiteral("a/b")));
    EXPECT_TRUE(NothingStored());

    Edit(*dialog, 1087)->setText(dir.filePath(QStringLiteral("new")));
    PressOk(*dialog);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("new"))).isDir());

    auto atRoot = Open();
    Edit(*atRoot, 1087)->setText(QStringLiteral("/"));
    PressOk(*atRoot);
    EXPECT_EQ(atRoot->result(), QDialog::Accepted);
    EXPECT_EQ(atRoot->Result().outputFolder, QStringLiteral("/"));
    EXPECT_EQ(profile.GetText(kSettings, kOutputPictureFolder, QStringLiteral("unset")), QString());
}

TEST_F(OptionsDialogTest, AZeroCustomFrameRateRefusesOkUntilItIsCorrected)
{
    settings.frameRateIndex = 6;
    settings.frameRate = 0.0;
    auto dialog = Open();
    PressOk(*dialog);
    PressOk(*dialog);
    EXPECT_EQ(messages.Texts(), QStringList(2, QStringLiteral("The frame rate is too small!")));
    EXPECT_TRUE(NothingStored());
    dialog->reject();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);

    auto corrected = Open();
    Edit(*corrected, 1069)->setText(QStringLiteral("12.5"));
    PressOk(*corrected);
    ASSERT_EQ(corrected->result(), QDialog::Accepted);
    EXPECT_EQ(profile.GetText(kSettings, kOutputFrameRate, {}), QStringLiteral("12.5"));
    EXPECT_DOUBLE_EQ(corrected->Result().frameRate, 12.5);
}

TEST_F(OptionsDialogTest, TheFrameRateRowShowsTheStoredChoiceAndChangesIt)
{
    settings.frameRateIndex = 6;
    settings.frameRate = 12.5;
    settings.outputWidth = 320;
    settings.outputHeight = 240;
    auto dialog = Open({320, 240, 29.97, 1});
    dialog->show();
    for (const int shown : {1078, 1068, 1069, 1099})
        EXPECT_TRUE(dialog->Control(shown)->isVisible()) << shown;
    EXPECT_EQ(Combo(*dialog, 1068)->currentIndex(), 6);
    EXPECT_EQ(Combo(*dialog, 1068)->currentText(), QStringLiteral("Custom frame rate"));
    EXPECT_EQ(Combo(*dialog, 1068)->itemText(0), QStringLiteral("Original frame rate 29.970"));
    EXPECT_EQ(Edit(*dialog, 1069)->text(), QStringLiteral("12.500"));
    // The row is one of its own: no control the user sees covers another
    // (the group box only frames the controls inside it).
    const QList<QWidget*> visible = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const auto framing = [](QWidget* w) { return qobject_cast<QGroupBox*>(w) != nullptr; };
    for (QWidget* a : visible) {
        for (QWidget* b : visible) {
            const bool bothShown = a != b && a->isVisible() && b->isVisible() && !framing(a) && !framing(b);
            EXPECT_FALSE(bothShown && a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " covers " << b->objectName().toStdString();
        }
    }

    Choose(*dialog, 1068, 0);
    PressOk(*dialog);
    ASSERT_EQ(dialog->result(), QDialog::Accepted) << messages.Texts().join(u'|').toStdString();
    EXPECT_EQ(StoredInt(kSettings, kOutputFrameRateIndex), 0);
    EXPECT_DOUBLE_EQ(dialog->Result().frameRate, 29.97);
}

TEST_F(OptionsDialogTest, AnUnknownStoredFormatIsReportedAndStoredAsNone)
{
    settings.outputFormat = 7;
    auto dialog = Open();
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("unknown error")});
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("error"));
    EXPECT_EQ(Combo(*dialog, 1090)->currentIndex(), -1);
    PressOk(*dialog);
    EXPECT_EQ(StoredInt(kSettings, kOutputFormat), -1);
}

TEST_F(OptionsDialogTest, AStoredGifSurvivesOk)
{
    settings.outputFormat = kFormatGif;
    auto dialog = Open();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(dialog->Control(1092)->isEnabled());
    PressOk(*dialog);
    EXPECT_EQ(StoredInt(kSettings, kOutputFormat), kFormatGif);
}

TEST_F(OptionsDialogTest, OkStoresEveryValueOnBehalfOfTheHiddenControls)
{
    settings.frameRateIndex = 0;
    settings.outputFilePath = QStringLiteral("/videos/out.avi");
    settings.outputWidth = 320;
    settings.outputHeight = 240;
    auto dialog = Open({320, 240, 29.97, 1});
    for (const int hidden : {1022, 1023, 1024, 1001, 1002, 1052, 1080, 1081, 1077, 1051, 1053})
        EXPECT_TRUE(dialog->Control(hidden)->isHidden()) << hidden;
    Choose(*dialog, 1090, 1);
    Edit(*dialog, 1092)->setText(QStringLiteral("65"));
    Edit(*dialog, 1096)->setText(QStringLiteral("10"));
    Choose(*dialog, 1070, 1);
    PressOk(*dialog);
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(StoredInt(kVideoCompress, kCompressorNumber), -1);
    EXPECT_EQ(StoredInt(kAudioCompress, kCompressorNumber), -1);
    EXPECT_EQ(StoredInt(kSettings, kOutputFrameRateIndex), 0);
    EXPECT_EQ(profile.GetText(kSettings, kOutputFrameRate, {}), QStringLiteral("23.976"));
    EXPECT_EQ(profile.GetText(kSettings, kOutputName, {}), QStringLiteral("/videos/out.avi"));
    EXPECT_EQ(StoredInt(kSettings, kOutputFormat), kFormatJpg);
    EXPECT_EQ(StoredInt(kSettings, kJpegQuality), 65);
    EXPECT_EQ(StoredInt(kSettings, kSamplingInterval), 10);
    EXPECT_EQ(profile.GetText(kSettings, kOutputPictureFolder, {}), dir.path());

    settings = dialog->Result();
    EXPECT_EQ(settings.outputFolder, dir.path() + u'/');
    EXPECT_DOUBLE_EQ(settings.frameRate, 29.97);
    EXPECT_EQ(settings.resizeMode, kResizeStretch);
    EXPECT_EQ(settings.jpegQuality, 65);
}

TEST_F(OptionsDialogTest, TheVideoProcessingChoicesAreShownAndStoredOnOk)
{
    const auto toneMap = [](OptionsDialog& dialog) { return qobject_cast<QCheckBox*>(dialog.Control(1106)); };
    auto fresh = Open();
    EXPECT_TRUE(toneMap(*fresh)->isChecked());
    EXPECT_EQ(Combo(*fresh, 1108)->currentText(), QStringLiteral("Automatic"));

    struct Case {
        bool toneMapHdr;
        int deinterlaceMode;
        const char* shown;
    };
    for (const Case c : {Case{false, kDeinterlaceAlways, "Always"}, Case{true, kDeinterlaceOff, "Off"}}) {
        settings.toneMapHdr = c.toneMapHdr;
        settings.deinterlaceMode = c.deinterlaceMode;
        auto dialog = Open();
        EXPECT_EQ(toneMap(*dialog)->isChecked(), c.toneMapHdr);
        EXPECT_EQ(Combo(*dialog, 1108)->currentText(), QString::fromLatin1(c.shown));
        toneMap(*dialog)->click();
        Choose(*dialog, 1108, kDeinterlaceAutomatic);
        PressOk(*dialog);
        ASSERT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(StoredInt(kSettings, kToneMapHdr), c.toneMapHdr ? 0 : 1);
        EXPECT_EQ(StoredInt(kSettings, kDeinterlaceMode), kDeinterlaceAutomatic);
        EXPECT_EQ(dialog->Result().toneMapHdr, !c.toneMapHdr);
        EXPECT_EQ(dialog->Result().deinterlaceMode, kDeinterlaceAutomatic);
    }
}

TEST_F(OptionsDialogTest, BrowseReplacesTheFolderOnlyWhenOneIsChosen)
{
    auto dialog = Open();
    QPushButton* browse = qobject_cast<QPushButton*>(dialog->Control(1088));
    browse->click();
    EXPECT_EQ(Edit(*dialog, 1087)->text(), dir.path() + u'/');
    chosenFolder = QStringLiteral("/srv/pictures");
    browse->click();
    EXPECT_EQ(Edit(*dialog, 1087)->text(), QStringLiteral("/srv/pictures"));
    EXPECT_EQ(chooserTitles, QStringList(2, QStringLiteral("Choose a folder")));
}

TEST_F(OptionsDialogTest, AFrenchFileRelabelsTheKeyedControlsOnly)
{
    WriteFile(dir.filePath(QStringLiteral("language/French.ini")),
              "[DIALOG]\nIDD_DIALOG_OUTPUT_OPTIONS=Options de sortie\nIDC_BUTTON_OPTIONS_OK=Valider\n"
              "IDC_BUTTON_OPTIONS_CANCEL=Annuler\nIDC_STATIC_FRAMES=images\nIDC_BUTTON_BROWSE_FOLDER=Parcourir\n"
              "IDC_STATIC_VIDEO_PROCESSING=Traitement vidéo\nIDC_CHECK_TONE_MAP_HDR=Mappage tonal HDR\n"
              "[STRING]\nIDS_MESSAGE_ORIGINAL_SIZE=Taille d'origine\nIDS_MESSAGE_DEINTERLACE_ALWAYS=Toujours\n");
    ASSERT_EQ(language.Init(dir.path(), QStringLiteral("French")), 1);
    context.translate = [this](QWidget& dialog, int id) { TranslateDialog(language, dialog, id); };
    auto dialog = Open();
    const auto text = [&](int id) { return qobject_cast<QAbstractButton*>(dialog->Control(id))->text(); };
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Options de sortie"));
    EXPECT_EQ(text(1082), QStringLiteral("Valider"));
    EXPECT_EQ(text(1083), QStringLiteral("Annuler"));
    EXPECT_EQ(qobject_cast<QLabel*>(dialog->Control(1097))->text(), QStringLiteral("images"));
    EXPECT_EQ(Combo(*dialog, 1025)->itemText(0), QStringLiteral("Taille d'origine"));
    EXPECT_EQ(text(1088), QStringLiteral("Parcourir"));
    EXPECT_EQ(qobject_cast<QGroupBox*>(dialog->Control(1105))->title(), QStringLiteral("Traitement vidéo"));
    EXPECT_EQ(text(1106), QStringLiteral("Mappage tonal HDR"));
    EXPECT_EQ(Combo(*dialog, 1108)->itemText(kDeinterlaceAlways), QStringLiteral("Toujours"));
    // Labels without a value keep their text.
    EXPECT_EQ(qobject_cast<QLabel*>(dialog->Control(1098))->text(), QStringLiteral("Output Format:"));
}

} // namespace
