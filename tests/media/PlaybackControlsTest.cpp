#include "PreviewTestBench.h"

#include "media/ClipState.h"
#include "media/PlaybackControls.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <vector>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;

TEST_F(PreviewTest, TheSeekBarSeeksSixHundredthsOfTheLength)
{
    ASSERT_TRUE(player->Open(QStringLiteral("/clips/a.avi")));
    SeekFromBar(player.get(), 300);
    EXPECT_EQ(Graph().Count("Seek:300000000"), 0); // no length known yet: no seek
    Q_EMIT LiveGraph().LengthChanged(60 * kSecond);
    for (const int seekPos : {300, 600, 0})
        SeekFromBar(player.get(), seekPos);
    EXPECT_EQ(Graph().calls, (std::vector<std::string>{"Open", "Seek:300000000", "Seek:600000000", "Seek:0"}));
    SeekFromBar(nullptr, 300);
}

TEST_F(PreviewTest, AClipOfNoLengthLeavesTheBarAtTheStartAndIgnoresSeeks)
{
    ASSERT_TRUE(Open());
    Q_EMIT LiveGraph().LengthChanged(0);
    EXPECT_EQ(PositionDisplayFor(player.get()).seekPos, 0);
    Graph().calls.clear();
    SeekFromBar(player.get(), 450);
    EXPECT_TRUE(Graph().calls.empty());
}

TEST_F(PreviewTest, ThePositionBoxShowsThePlayersPositions)
{
    ASSERT_TRUE(Open());
    Q_EMIT LiveGraph().LengthChanged(90 * kSecond);
    Q_EMIT LiveGraph().PositionChanged(45 * kSecond + 123);
    const PositionDisplay display = PositionDisplayFor(player.get());
    EXPECT_EQ(display.positionText, QStringLiteral("00:00:45 / 00:01:30"));
    EXPECT_EQ(display.seekPos, 300);
    EXPECT_EQ(PositionDisplayFor(nullptr).positionText, QString());
    EXPECT_FALSE(PositionDisplayFor(nullptr).seekPos.has_value());
}

TEST_F(PreviewTest, APreviewThatCannotPlayEmptiesTheSourcePath)
{
    ClipState clip;
    clip.video.path = QStringLiteral("/clips/a.avi");
    const PreviewServices services{playback, messages, {}};
    std::unique_ptr<PreviewPlayer> opened = OpenPreview(services, &owner, clip);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->State(), PlayState::Stopped);
    EXPECT_EQ(clip.video.path, QStringLiteral("/clips/a.avi"));
    // The graph finds out later that the file does not play.
    Q_EMIT LiveGraph().OpenFailed();
    ProcessPosted();
    EXPECT_TRUE(clip.video.path.isEmpty());
    EXPECT_EQ(opened->State(), PlayState::Closed);
    opened.reset();

    clip.video.path = QStringLiteral("/clips/a.avi");
    Graph().create = MediaResult::Fail;
    EXPECT_EQ(OpenPreview(services, &owner, clip), nullptr);
    EXPECT_TRUE(clip.video.path.isEmpty());
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(Graph().graph, nullptr);
}

TEST(FrameStepKeysTest, StepInTheActiveWindowButLeaveATextBoxItsKeys)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new QPushButton(QStringLiteral("Play"));
    auto* box = new QLineEdit(QStringLiteral("00:00:01"));
    layout->addWidget(button);
    layout->addWidget(box);
    std::vector<FrameStep> steps;
    ConnectFrameStepShortcuts(window, [&steps](FrameStep step) { steps.push_back(step); });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    button->setFocus();
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Comma, Qt::Key_Right, Qt::Key_Period})
        QTest::keyClick(button, key);
    EXPECT_EQ(steps, (std::vector{FrameStep::Back, FrameStep::Back, FrameStep::Forward, FrameStep::Forward}));

    box->setFocus();
    box->setCursorPosition(3);
    QTest::keyClick(box, Qt::Key_Left);
    QTest::keyClick(box, Qt::Key_Period);
    EXPECT_EQ(steps.size(), 4u);
    EXPECT_EQ(box->text(), QStringLiteral("00.:00:01"));
}

} // namespace
