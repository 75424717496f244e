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

TEST_F(PreviewTest, TheSeekBarSeeksSixHundredthsOfThePolledLength)
{
    ASSERT_TRUE(Open());
    Graph().length = 60 * kSecond;
    SeekFromBar(player.get(), 300);
    EXPECT_EQ(Graph().Count("Seek:300000000"), 0); // no length polled yet: no seek
    ASSERT_TRUE(player->RefreshPositions());
    SeekFromBar(player.get(), 300);
    EXPECT_EQ(Graph().current, 30 * kSecond);
    SeekFromBar(player.get(), 600);
    EXPECT_EQ(Graph().current, 60 * kSecond);
    SeekFromBar(player.get(), 0);
    EXPECT_EQ(Graph().current, 0);
    SeekFromBar(nullptr, 300);
}

TEST_F(PreviewTest, AClipOfNoLengthLeavesTheBarAtTheStartAndIgnoresSeeks)
{
    ASSERT_TRUE(Open());
    Graph().length = 0;
    Graph().current = 0;
    ASSERT_TRUE(player->RefreshPositions());
    EXPECT_EQ(PositionDisplayFor(player.get()).seekPos, 0);
    Graph().calls.clear();
    SeekFromBar(player.get(), 450);
    EXPECT_TRUE(Graph().calls.empty());
}

TEST_F(PreviewTest, ThePositionBoxShowsTheLastPollAndAMarkThePositionNow)
{
    ASSERT_TRUE(Open());
    Graph().length = 90 * kSecond;
    Graph().current = 45 * kSecond + 123;
    ASSERT_TRUE(player->RefreshPositions());
    Graph().current = 80 * kSecond + 123; // not polled yet
    const PositionDisplay display = PositionDisplayFor(player.get());
    EXPECT_EQ(display.positionText, QStringLiteral("00:00:45 / 00:01:30"));
    EXPECT_EQ(display.seekPos, 300);

    MediaTime mark = -1;
    EXPECT_EQ(MarkPosition(player.get(), mark), QStringLiteral("00:01:20"));
    EXPECT_EQ(mark, 80 * kSecond + 123);
    // A position that cannot be read leaves the mark at the last poll.
    Graph().getCurrent = MediaResult::Fail;
    Graph().current = 10 * kSecond;
    EXPECT_EQ(MarkPosition(player.get(), mark), QStringLiteral("00:01:20"));

    EXPECT_EQ(PositionDisplayFor(nullptr).positionText, QString());
    EXPECT_FALSE(PositionDisplayFor(nullptr).seekPos.has_value());
    EXPECT_FALSE(MarkPosition(nullptr, mark).has_value());
    EXPECT_EQ(mark, 80 * kSecond + 123);
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
    opened.reset();

    Graph().render = MediaResult::CannotRender;
    EXPECT_EQ(OpenPreview(services, &owner, clip), nullptr);
    EXPECT_TRUE(clip.video.path.isEmpty());
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_FALSE(Graph().alive);
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
