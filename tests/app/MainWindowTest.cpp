#include "app/MainWindow.h"
#include "app/MainWindowTexts.h"
#include "controls/AboutDialog.h"
#include "controls/IconButton.h"
#include "resources/Resources.h"
#include "settings/ProfileNames.h"
#include "support/DesktopSandbox.h"
#include "support/FakeAppServices.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        folder = fake.dir.filePath(QStringLiteral("pictures"));
        fake.profile.WriteText(ProfileNames::kSettings, ProfileNames::kOutputPictureFolder, folder);
    }
    MainWindow& Window()
    {
        if (!window)
            window = std::make_unique<MainWindow>(fake.services);
        return *window;
    }
    QWidget* Control(int id) { return Window().Controls().Find(id); }
    // A conversion of a 10.9 s clip, started as a user starts one.
    void StartConverting()
    {
        fake.choosers.files = {TestClip(clips::LongerMp4())};
        Window().OnCommand(kIdOpenVideo);
        Window().OnCommand(kIdConvert);
        ASSERT_TRUE(Window().IsConverting()) << fake.messages.Texts().join(u'|').toStdString();
    }
    QString Text(int id) { return Window().Controls().Get<QLabel>(id)->text(); }
    QString StoredLanguage()
    {
        return fake.profile.GetText(ProfileNames::kOption, ProfileNames::kCurrentLanguage, QStringLiteral("none"));
    }
    // Runs action and returns the class name of the popup or modal window it opened, closing it.
    QString OpenedBy(const std::function<void()>& action)
    {
        QString opened;
        QTimer::singleShot(50, [this, &opened] {
            QWidget* shown = QApplication::activePopupWidget();
            if (!shown)
                shown = QApplication::activeModalWidget();
            if (shown && shown != window.get()) {
                opened = QString::fromLatin1(shown->metaObject()->className());
                shown->close();
            }
        });
        action();
        QTest::qWait(100);
        return opened;
    }

    FakeAppServices fake;
    QString folder;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartUpStatusLineNamesFolderAndOriginalSize)
{
    EXPECT_EQ(Window().StatusText(), QStringLiteral("Output file: %1/     Resolution: Original size").arg(folder));
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Framelift"));
    EXPECT_FALSE(Window().windowIcon().isNull());
    EXPECT_TRUE(Window().TemporaryBitmap().endsWith(QStringLiteral("BMP303B.TMP")));
}

TEST_F(MainWindowTest, BeforeAClipOnlyTheFileAndProgramCommandsAreEnabled)
{
    Window().show();
    for (const int id : {kIdConvert, kIdSeekBar, kIdPlay, kIdPause, kIdStop, kIdStartTime, kIdEndTime,
                         kIdStartTimeBox, kIdEndTimeBox})
        EXPECT_FALSE(Control(id)->isEnabled()) << id;
    for (const int id : {kIdOpenVideo, kIdOptions, kIdHelp, kIdAbout, kIdHomepage, kIdExit})
        EXPECT_TRUE(Control(id)->isEnabled()) << id;
    EXPECT_EQ(Text(kIdStartTimeBox), QStringLiteral("00:00:00"));
    EXPECT_EQ(Text(kIdEndTimeBox), QStringLiteral("00:00:00"));
    const auto* seekBar = Window().Controls().Get<QSlider>(kIdSeekBar);
    EXPECT_EQ(seekBar->maximum(), 600);
    EXPECT_EQ(seekBar->value(), 0);
    for (const int id : {1007, 1008, 1009, 1016, 1017, 1019, 1029, 1030, 1031, 1032, 1033, int{kIdCloseClip}})
        EXPECT_FALSE(Control(id)->isVisible()) << id;
    EXPECT_TRUE(Control(kIdStatusLine)->isVisible());
}

TEST_F(MainWindowTest, IconButtonsCarryIconsTooltipsAndTheCursor)
{
    const struct {
        int id;
        const char* tooltip;
    } cases[] = {{kIdOpenVideo, "Open a video file"}, {kIdOptions, "Customize output options"},
                 {kIdConvert, "Convert video"},       {kIdHelp, "Help"},
                 {kIdAbout, "About"},                 {kIdHomepage, "Homepage"},
                 {kIdExit, "Exit"}};
    for (const auto& c : cases) {
        const auto* button = Window().Controls().Get<IconButton>(c.id);
        ASSERT_NE(button, nullptr) << c.id;
        EXPECT_EQ(button->toolTip(), QString::fromLatin1(c.tooltip));
        EXPECT_FALSE(button->Icon().isNull()) << c.id;
        EXPECT_EQ(button->IconAlignment(), IconButton::kIconAbove);
        EXPECT_TRUE(button->UsesParentBackground());
        EXPECT_EQ(button->cursor().shape(), Qt::BitmapCursor);
    }
    EXPECT_EQ(Window().Controls().Get<IconButton>(kIdHomepage)->Icon().size(), QSize(16, 16));
}

TEST_F(MainWindowTest, F1AndHelpOpenTheSameHelpPage)
{
    Window().show();
    QTest::keyClick(&Window(), Qt::Key_F1);
    QTest::mouseClick(Window().Controls().Get<QPushButton>(kIdHelp), Qt::LeftButton);
    ASSERT_EQ(fake.shell.opened.size(), 2);
    EXPECT_EQ(fake.shell.opened[0], fake.shell.opened[1]);
    EXPECT_TRUE(fake.shell.opened[0].isLocalFile());
    EXPECT_TRUE(fake.shell.opened[0].toLocalFile().endsWith(QStringLiteral("/help/Introduction.htm")));
    EXPECT_TRUE(fake.messages.shown.isEmpty());
}

// Through the desktop's real opener, in a desktop without any browser.
TEST_F(MainWindowTest, HomepageReportsABrowserThatDoesNotStart)
{
    DesktopSandbox desktop;
    DesktopShell shell;
    AppServices services{fake.profile,  fake.language, fake.messages,  fake.knownFolders, shell,
                         fake.choosers, fake.sounds,   *fake.playback,    FfmpegProbeFactory()};
    MainWindow withDesktop(services);
    withDesktop.OnCommand(kIdHomepage);
    const QDeadlineTimer deadline(20000);
    while (fake.messages.shown.isEmpty() && !deadline.hasExpired())
        QTest::qWait(10);
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("The Program does not launch your web browser to access https://framelift.example/ "
                             ",\nPlease launch your web browser and input the URL manually."));
    EXPECT_EQ(fake.messages.shown[0].caption, QStringLiteral("unknown errors"));
    EXPECT_EQ(fake.messages.shown[0].owner, &withDesktop);
}

TEST_F(MainWindowTest, ClosingWhileConvertingIsRefusedByEveryRoute)
{
    Window().show();
    StartConverting();
    EXPECT_EQ(Window().Controls().Get<QPushButton>(kIdConvert)->text(), QStringLiteral("Stop"));
    for (const int id : {kIdOpenVideo, kIdOptions, kIdStartTime, kIdEndTime})
        EXPECT_FALSE(Control(id)->isEnabled()) << id;

    Window().close();                              // the close box
    QTest::keyClick(&Window(), Qt::Key_Escape);    // Escape
    Window().OnCommand(kIdExit);                   // Exit
    EXPECT_TRUE(Window().isVisible());
    ASSERT_EQ(fake.messages.shown.size(), 3);
    for (const Message& message : fake.messages.shown) {
        EXPECT_EQ(message.text, QStringLiteral("Please first stop converting"));
        EXPECT_EQ(message.caption, QStringLiteral("Warning"));
    }
    EXPECT_EQ(StoredLanguage(), QStringLiteral("none"));

    Window().OnCommand(kIdConvert); // Stop
    EXPECT_EQ(Window().StatusText(), QStringLiteral("Done. Output file: %1/     Resolution: 160*120").arg(folder));
    EXPECT_EQ(Window().Controls().Get<QPushButton>(kIdConvert)->text(), QStringLiteral("Convert"));
    EXPECT_TRUE(Control(kIdOpenVideo)->isEnabled());
    QTest::keyClick(&Window(), Qt::Key_Escape);
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(StoredLanguage(), QStringLiteral("english"));
}

TEST_F(MainWindowTest, ConvertWithoutAClipAsksForOne)
{
    EXPECT_TRUE(Window().OnCommand(kIdConvert));
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("Open a video file"));
    EXPECT_EQ(fake.messages.shown[0].caption, QStringLiteral("Error"));
    EXPECT_FALSE(Window().OnCommand(4242));
}

TEST_F(MainWindowTest, RightClickOnTheBareSurfaceOpensTheLanguagePopup)
{
    Window().show();
    const QPoint bare(3, Control(kIdPlay)->y() + 2);
    ASSERT_EQ(Window().childAt(bare), nullptr);
    EXPECT_EQ(OpenedBy([&] { QTest::mouseClick(&Window(), Qt::RightButton, Qt::NoModifier, bare); }),
              QStringLiteral("QMenu"));
    // On a label the click passes to the window, as on a static control.
    EXPECT_EQ(OpenedBy([&] { QTest::mouseClick(Control(kIdStatusLine), Qt::RightButton); }), QStringLiteral("QMenu"));
    EXPECT_EQ(OpenedBy([&] { QTest::mouseClick(Control(kIdOptions), Qt::RightButton); }), QString());
    EXPECT_EQ(OpenedBy([&] { QTest::mouseClick(Control(kIdSeekBar), Qt::RightButton); }), QString());
}

TEST_F(MainWindowTest, AboutAndOptionsOpenTheirDialogs)
{
    Window().show();
    EXPECT_EQ(OpenedBy([&] { Window().OnCommand(kIdAbout); }), QStringLiteral("AboutDialog"));
    EXPECT_EQ(OpenedBy([&] { Window().OnCommand(kCommandPopupAbout); }), QStringLiteral("AboutDialog"));
    EXPECT_EQ(OpenedBy([&] { Window().OnCommand(kIdOptions); }), QStringLiteral("OptionsDialog"));
    StartConverting();
    EXPECT_EQ(OpenedBy([&] { Window().OnCommand(kIdOptions); }), QString()); // not while converting
}

TEST_F(MainWindowTest, BackgroundBitmapIsTiledFromTheTopLeft)
{
    Window().show();
    const QImage tile = LoadBitmapResource(kBitmapBackground).toImage();
    const QImage shot = Window().grab().toImage();
    for (const QPoint at : {QPoint(1, 1), QPoint(tile.width() + 1, 1), QPoint(1, 2 * tile.height() + 5)})
        EXPECT_EQ(shot.pixelColor(at), tile.pixelColor(at.x() % tile.width(), at.y() % tile.height()))
            << at.x() << "," << at.y();
}

TEST_F(MainWindowTest, StartsTranslatedAndFontCommandReachesTheChooser)
{
    WriteFile(fake.LanguageFolder() + QStringLiteral("/French.ini"),
              "[DIALOG]\nIDD_PROGRAM_CAPTION=Framelift FR\nIDC_BUTTON_CONVERT=Convertir\n");
    fake.language.Init(fake.dir.path(), QStringLiteral("French"));
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Framelift FR"));
    EXPECT_EQ(Window().Controls().Get<QPushButton>(kIdConvert)->text(), QStringLiteral("Convertir"));
    Window().OnCommand(kCommandPopupFont);
    EXPECT_EQ(fake.choosers.fontStarts.size(), 1);
}

} // namespace
