#include "i18n/LanguageMenu.h"
#include "i18n/LanguagePack.h"
#include "i18n/Translate.h"
#include "i18n/UiFont.h"
#include "platform/profile/Profile.h"
#include "platform/ui/DialogControlId.h"
#include "resources/MenuTemplate.h"
#include "support/FakeChoosers.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kFrench = "[DIALOG]\nIDD_PROGRAM_CAPTION=Framelift en fran\xc3\xa7" "ais\n"
                           "IDC_BUTTON_ADD_VIDEO=Ouvrir\nIDC_BUTTON_PLAY=\nIDC_BUTTON_ABOUT=A propos\n"
                           "[MENU]\nIDM_SELECT_LANGUAGE=Langue\nIDM_POPUPMENU_FONT=Police\n"
                           "[STRING]\nIDS_MESSAGE_WARNING=Attention\n";
const QByteArray kGerman = "[DIALOG]\nIDD_PROGRAM_CAPTION=Framelift deutsch\nIDC_BUTTON_ADD_VIDEO=Video laden\n"
                           "[STRING]\nIDS_MESSAGE_RESTART_PROGRAM=Bitte neu starten\nIDS_MESSAGE_WARNING=Warnung\n";

// A dialog with a few controls of the main window and the About box, by id.
class TestDialog final : public QDialog {
public:
    TestDialog()
    {
        setWindowTitle(QStringLiteral("Framelift"));
        Add(new QPushButton(QStringLiteral("Open Video"), this), 1006);
        Add(new QPushButton(QStringLiteral("Options"), this), 1003);
        Add(new QPushButton(QStringLiteral("Play"), this), 1058);
        Add(new QPushButton(QStringLiteral("About"), this), 1042);
        Add(new QLabel(QStringLiteral("Framelift"), this), 1085);
        Add(new QLabel(QStringLiteral("Quenlar"), this), -1);
        Add(new QPushButton(QStringLiteral("OK"), this), 1);
    }
    QString Text(int id) const
    {
        QWidget* control = controls.value(id);
        if (auto* button = qobject_cast<QPushButton*>(control))
            return button->text();
        return qobject_cast<QLabel*>(control)->text();
    }
    QMap<int, QWidget*> controls;

private:
    void Add(QWidget* control, int id)
    {
        SetControlId(*control, id);
        controls.insert(id, control);
    }
};

class TranslateTest : public ::testing::Test {
protected:
    void AddLanguage(const QString& name, const QByteArray& bytes)
    {
        WriteFile(dir.filePath(QStringLiteral("language/") + name + QStringLiteral(".ini")), bytes);
    }
    void Start(const QString& name) { pack.Init(dir.path(), name); }
    QStringList Labels(const QMenu& menu) const
    {
        QStringList labels;
        for (const QAction* action : menu.actions())
            labels.append(action->text());
        return labels;
    }
    int IndexOf(const QString& name) const { return static_cast<int>(pack.LanguageNames().indexOf(name)); }

    QTemporaryDir dir;
    Profile profile{dir.filePath(QStringLiteral("profile.ini"))};
    RecordingMessageService messages;
    LanguagePack pack{profile, messages};
    FakeChoosers choosers;
};

TEST_F(TranslateTest, DialogCaptionAndKeyedControlsChangeOthersKeepTheirText)
{
    AddLanguage(QStringLiteral("French"), kFrench);
    profile.WriteInt(QStringLiteral("French"), QStringLiteral("lfWeight"), 700);
    Start(QStringLiteral("French"));
    TestDialog dialog;
    SetControlText(*dialog.controls[1058], QStringLiteral("shown"));
    const QFont templateFont = dialog.controls[1058]->font();

    EXPECT_EQ(TranslateDialog(pack, dialog, 102), 1);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Framelift en fran\xc3\xa7" "ais"));
    EXPECT_EQ(dialog.Text(1006), QStringLiteral("Ouvrir"));
    EXPECT_EQ(dialog.controls[1006]->font().weight(), QFont::Bold);
    EXPECT_EQ(dialog.Text(1042), QStringLiteral("A propos"));
    // A key without a value keeps the text shown and the font, not the built-in text.
    EXPECT_EQ(dialog.Text(1058), QStringLiteral("shown"));
    EXPECT_EQ(dialog.controls[1058]->font(), templateFont);
    EXPECT_EQ(dialog.Text(1003), QStringLiteral("Options"));
}

TEST_F(TranslateTest, AboutBoxKeepsItsUnkeyedAndLowIdControls)
{
    AddLanguage(QStringLiteral("French"), kFrench);
    Start(QStringLiteral("French"));
    TestDialog dialog;
    TranslateDialog(pack, dialog, 100);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("A propos"));
    EXPECT_EQ(dialog.Text(1085), QString::fromUtf8("Framelift en fran\xc3\xa7" "ais"));
    EXPECT_EQ(dialog.Text(1), QStringLiteral("OK"));
    EXPECT_EQ(dialog.Text(-1), QStringLiteral("Quenlar"));
}

TEST_F(TranslateTest, WithoutLanguageFilesNothingChanges)
{
    Start(QStringLiteral("english"));
    TestDialog dialog;
    dialog.setWindowTitle(QStringLiteral("untouched"));
    EXPECT_EQ(TranslateDialog(pack, dialog, 102), 0);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("untouched"));

    const auto top = LoadMenuTemplate(PopupMenuTemplate());
    QMenu* popup = top->actions().first()->menu();
    EXPECT_EQ(BuildLanguageMenu(pack, *top, *popup), 1);
    EXPECT_EQ(Labels(*popup), (QStringList{QStringLiteral("Language"), QStringLiteral("Font"), QStringLiteral("About")}));
    EXPECT_TRUE(popup->actions().first()->menu()->actions().isEmpty());
}

TEST_F(TranslateTest, LanguageSubmenuListsFilesInByteOrderWithTheCurrentChecked)
{
    AddLanguage(QStringLiteral("french"), kFrench);
    AddLanguage(QStringLiteral("German"), kGerman);
    AddLanguage(QStringLiteral("English"), "");
    Start(QStringLiteral("french"));
    const auto top = LoadMenuTemplate(PopupMenuTemplate());
    QMenu* popup = top->actions().first()->menu();
    ASSERT_EQ(BuildLanguageMenu(pack, *top, *popup), 1);

    EXPECT_EQ(Labels(*popup), (QStringList{QStringLiteral("Langue"), QStringLiteral("Police"), QStringLiteral("About")}));
    EXPECT_EQ(top->actions().first()->text(), QStringLiteral("PopupMenu")); // the top level keeps its labels
    const QList<QAction*> entries = popup->actions().first()->menu()->actions();
    ASSERT_EQ(entries.size(), 3);
    const struct {
        QString label;
        int id;
        bool checked;
    } expected[] = {{QStringLiteral("English"), 45400, false},
                    {QStringLiteral("German"), 45401, false},
                    {QStringLiteral("french"), 45402, true}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i]->text(), expected[i].label);
        EXPECT_EQ(entries[i]->data().toInt(), expected[i].id);
        EXPECT_EQ(entries[i]->isChecked(), expected[i].checked) << i;
    }
    EXPECT_EQ(popup->actions()[1]->data().toInt(), kCommandFont);
    EXPECT_EQ(popup->actions()[2]->data().toInt(), kCommandAbout);
}

TEST_F(TranslateTest, ChoosingALanguageTranslatesTheWindowAndAsksForARestart)
{
    AddLanguage(QStringLiteral("French"), kFrench);
    AddLanguage(QStringLiteral("German"), kGerman);
    Start(QStringLiteral("French"));
    TestDialog window;

    OnLanguageCommand(pack, messages, window, 45400 + IndexOf(QStringLiteral("German")));
    EXPECT_EQ(pack.GetCurrentLanguage(), QStringLiteral("German"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Framelift deutsch"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Bitte neu starten"));
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Warnung"));
    EXPECT_EQ(messages.shown[0].owner, &window);

    // The checked language again: reloaded, and asked again.
    OnLanguageCommand(pack, messages, window, 45400 + IndexOf(QStringLiteral("German")));
    EXPECT_EQ(messages.shown.size(), 2);
}

TEST_F(TranslateTest, CommandsOutsideTheLanguageListChooseNothing)
{
    AddLanguage(QStringLiteral("French"), kFrench);
    Start(QStringLiteral("French"));
    QDialog window;
    for (const int id : {45399, 45401, 46399, 46400, 32781})
        OnLanguageCommand(pack, messages, window, id);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(pack.GetCurrentLanguage(), QStringLiteral("French"));
}

TEST_F(TranslateTest, FontIsStoredPerLanguage)
{
    AddLanguage(QStringLiteral("English"), "");
    AddLanguage(QStringLiteral("German"), kGerman);
    Start(QStringLiteral("German"));
    TestDialog window;
    QFont bold(QStringLiteral("DejaVu Sans"));
    bold.setPixelSize(16);
    bold.setBold(true);
    choosers.fonts = {bold};

    OnFontCommand(pack, choosers, window);
    ASSERT_EQ(choosers.fontStarts.size(), 1);
    EXPECT_EQ(choosers.fontStarts[0].pixelSize(), 11); // the defaults of the first start
    EXPECT_EQ(profile.GetInt(QStringLiteral("German"), QStringLiteral("lfWeight"), 0), 700);
    EXPECT_EQ(profile.GetInt(QStringLiteral("German"), QStringLiteral("lfHeight"), 0), -16);
    EXPECT_EQ(profile.GetText(QStringLiteral("German"), QStringLiteral("lfFaceName"), {}), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(pack.UiFont()->lfWeight, 700);
    EXPECT_EQ(window.controls[1006]->font().weight(), QFont::Bold); // applied at once

    OnLanguageCommand(pack, messages, window, 45400 + IndexOf(QStringLiteral("English")));
    EXPECT_EQ(pack.UiFont()->lfWeight, 400);
    EXPECT_EQ(pack.UiFont()->lfHeight, -11);
    OnLanguageCommand(pack, messages, window, 45400 + IndexOf(QStringLiteral("German")));
    EXPECT_EQ(pack.UiFont()->lfWeight, 700);
    EXPECT_EQ(pack.UiFont()->lfHeight, -16);
    EXPECT_EQ(profile.GetText(QStringLiteral("English"), QStringLiteral("lfWeight"), QStringLiteral("absent")),
              QStringLiteral("absent"));
}

TEST_F(TranslateTest, CancelledFontChoiceChangesNothing)
{
    AddLanguage(QStringLiteral("German"), kGerman);
    Start(QStringLiteral("German"));
    QDialog window;
    OnFontCommand(pack, choosers, window);
    EXPECT_EQ(choosers.fontStarts.size(), 1);
    EXPECT_EQ(profile.GetText(QStringLiteral("German"), QStringLiteral("lfWeight"), QStringLiteral("absent")),
              QStringLiteral("absent"));
    EXPECT_EQ(pack.UiFont()->lfWeight, 400);
}

TEST_F(TranslateTest, StoredItalicUsesTheLowEightBits)
{
    AddLanguage(QStringLiteral("German"), kGerman);
    profile.WriteInt(QStringLiteral("German"), QStringLiteral("lfItalic"), 257);
    profile.WriteInt(QStringLiteral("German"), QStringLiteral("lfUnderline"), 256);
    Start(QStringLiteral("German"));
    EXPECT_EQ(LoadFontDescription(profile, QStringLiteral("German")).lfItalic, 1);
    EXPECT_TRUE(ToQFont(*pack.UiFont()).italic());
    EXPECT_FALSE(ToQFont(*pack.UiFont()).underline());
}

} // namespace
