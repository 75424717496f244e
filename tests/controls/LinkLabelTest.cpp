#include "controls/AboutDialog.h"
#include "controls/LinkLabel.h"
#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "platform/ui/DialogControlId.h"
#include "resources/ProductTexts.h"
#include "support/DesktopSandbox.h"
#include "support/FakeShell.h"
#include "support/RecordingMessageService.h"

#include <QCursor>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QColor kLink(0, 0, 238);
const QColor kVisited(85, 26, 139);
const QColor kHover(255, 0, 0);

class LinkLabelTest : public ::testing::Test {
protected:
    LinkLabelTest()
    {
        parent.resize(400, 200);
        auto* label = new QLabel(QStringLiteral("https://framelift.example/"), &parent);
        label->setGeometry(20, 30, 300, 40);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        SetControlId(*label, 1049);
        link = LinkLabel::Attach(label, shell, messages);
        parent.show();
    }
    void MoveInside()
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), link->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(link, &move);
    }
    // Clicks and waits (bounded) for the outcome to show: a change of the
    // visited state, or a message.
    void Click()
    {
        const bool visitedBefore = link->IsVisited();
        const qsizetype shownBefore = messages.shown.size();
        QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        const QDeadlineTimer deadline(20000);
        while (link->IsVisited() == visitedBefore && messages.shown.size() == shownBefore && !deadline.hasExpired())
            QTest::qWait(10);
    }
    // Waits (bounded) for the hover timer to see that the mouse has left.
    void WaitForTimer() { ASSERT_TRUE(QTest::qWaitFor([this] { return !link->IsOverControl(); }, 20000)); }

    QWidget parent;
    DesktopShell shell;
    RecordingMessageService messages;
    LinkLabel* link = nullptr;
};

TEST_F(LinkLabelTest, AttachTakesTextIdAndPlaceAndFitsToTheText)
{
    EXPECT_EQ(link->Target(), QStringLiteral("https://framelift.example/"));
    EXPECT_EQ(ControlId(link), 1049);
    EXPECT_EQ(link->pos(), QPoint(20, 30)); // left and top edges stay
    EXPECT_LT(link->width(), 300);
    EXPECT_GE(link->width(), QFontMetrics(link->font()).horizontalAdvance(link->text()));
    EXPECT_LT(link->height(), 40);
    EXPECT_EQ(link->toolTip(), link->Target());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->TextColour(), kLink);
    EXPECT_EQ(parent.findChildren<QLabel*>().size(), 1);
}

TEST_F(LinkLabelTest, CentredLinkKeepsItsCentre)
{
    auto* label = new QLabel(QStringLiteral("centred"), &parent);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(100, 100, 200, 40);
    LinkLabel* centred = LinkLabel::Attach(label, shell, messages);
    EXPECT_EQ(centred->geometry().center(), QRect(100, 100, 200, 40).center());
}

TEST_F(LinkLabelTest, HoverTurnsRedAndTheTimerNoticesThePointerLeaving)
{
    link->SetUnderlineMode(LinkLabel::kUnderlineAlways);
    EXPECT_TRUE(link->font().underline());
    QCursor::setPos(link->mapToGlobal(QPoint(2, 2)));
    MoveInside();
    EXPECT_EQ(link->TextColour(), kHover);
    EXPECT_TRUE(link->HoverTimerActive());
    // No further mouse message: only the timer can see the pointer go.
    QCursor::setPos(parent.mapToGlobal(QPoint(390, 190)));
    WaitForTimer();
    EXPECT_FALSE(link->IsOverControl());
    EXPECT_FALSE(link->HoverTimerActive());
    EXPECT_EQ(link->TextColour(), kLink);
    EXPECT_TRUE(link->font().underline()); // always underlined, hovered or not
}

TEST_F(LinkLabelTest, HoverModeUnderlinesOnlyWhileOver)
{
    EXPECT_FALSE(link->font().underline());
    QCursor::setPos(link->mapToGlobal(QPoint(2, 2)));
    MoveInside();
    EXPECT_TRUE(link->font().underline());
    QCursor::setPos(parent.mapToGlobal(QPoint(390, 190)));
    WaitForTimer();
    EXPECT_FALSE(link->font().underline());
}

// Through the desktop's real opener, in a desktop whose handlers the test decides.
TEST_F(LinkLabelTest, ClickOpensThroughTheDesktopOrItsHtmlHandlerAndReportsFailures)
{
    DesktopSandbox desktop;
    const QString target = QStringLiteral("https://framelift.example/contact");
    link->SetTarget(target);
    Click();
    EXPECT_FALSE(link->IsVisited());
    EXPECT_EQ(link->TextColour(), kLink);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Unable to open hyperlink:\n\nThere is no application associated\n"
                                                     "with the given filename extension."));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);

    desktop.RegisterRecorder({QStringLiteral("text/html")});
    Click();
    EXPECT_TRUE(link->IsVisited());
    EXPECT_EQ(link->TextColour(), kVisited);
    EXPECT_EQ(desktop.WaitForRecorded(), target + u'|');

    desktop.RegisterRecorder({QStringLiteral("x-scheme-handler/https")}, 1);
    Click();
    EXPECT_FALSE(link->IsVisited());
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].text.endsWith(QStringLiteral("association is\nincomplete or invalid.")));
}

TEST(AboutDialog, ShowsVersionMakerAndLinksWithTheirTargets)
{
    QTemporaryDir dir;
    Profile profile(dir.filePath(QStringLiteral("p.ini")));
    RecordingMessageService messages;
    LanguagePack language(profile, messages);
    FakeShell shell;
    AboutDialog about(language, shell, messages, nullptr);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about.ProductLink().Target(), QString::fromLatin1(kProductPage));
    EXPECT_EQ(about.ContactLink().Target(), QString::fromLatin1(kContactPage));
    EXPECT_EQ(about.ContactLink().text(), QStringLiteral("Support Email: Click here"));
    EXPECT_TRUE(about.ProductLink().font().underline());
    EXPECT_TRUE(AboutDialog::VersionLine().startsWith(QStringLiteral("Version 1.0.0.0, built 20")));
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>())
        texts.append(label->text());
    EXPECT_TRUE(texts.contains(QStringLiteral("Quenlar")));
    EXPECT_TRUE(texts.contains(AboutDialog::VersionLine()));
}

} // namespace
