#include "controls/IconButton.h"
#include "platform/ui/SoundPlayer.h"
#include "resources/Resources.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CountingSoundPlayer final : public SoundPlayer {
public:
    void PlayAsync(const QByteArray& wave) override
    {
        ++plays;
        lastSize = wave.size();
    }
    int plays = 0;
    qsizetype lastSize = 0;
};

class IconButtonTest : public ::testing::Test {
protected:
    IconButtonTest()
    {
        parent.resize(300, 200);
        button = new IconButton(QStringLiteral("Convert"), &parent);
        button->setGeometry(10, 10, 100, 52);
        other = new IconButton(QStringLiteral("Exit"), &parent);
        other->setGeometry(10, 100, 100, 36);
        button->LoadButtonIcon(kIconApplication);
        button->SetHoverSound(player, kWaveHover);
        button->SetIconAlignment(IconButton::kIconAbove);
        parent.show();
    }
    void Move(QWidget* target, QPoint at, Qt::MouseButtons held = Qt::NoButton)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::NoButton, held,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }
    void Leave()
    {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
    }
    QImage IconArea(QPoint offset) const
    {
        const QRect area(QPoint((button->width() - 32) / 2, 3) + offset, QSize(32, 32));
        return button->grab().toImage().copy(area);
    }

    QWidget parent;
    IconButton* button = nullptr;
    IconButton* other = nullptr;
    CountingSoundPlayer player;
};

TEST_F(IconButtonTest, HoverSoundOncePerEntry)
{
    Move(button, {5, 5});
    EXPECT_TRUE(button->IsHover());
    Move(button, {20, 20});
    Move(button, {40, 30});
    EXPECT_EQ(player.plays, 1);
    EXPECT_GT(player.lastSize, 44); // a WAV header and samples
    Leave();
    EXPECT_FALSE(button->IsHover());
    Move(button, {5, 5});
    EXPECT_EQ(player.plays, 2);
    // Moving out while the move still reaches the button (the mouse is grabbed).
    Move(button, {500, 5});
    EXPECT_FALSE(button->IsHover());
}

TEST_F(IconButtonTest, DragFromElsewhereDoesNotHover)
{
    Move(button, {5, 5}, Qt::LeftButton);
    EXPECT_FALSE(button->IsHover());
    EXPECT_EQ(player.plays, 0);
}

TEST_F(IconButtonTest, FrameOnlyWhileHoveredOrPressed)
{
    // Compared as 8-bit values, as the grabbed picture holds them.
    const QRgb light = button->palette().color(QPalette::Light).rgb();
    const QRgb shadow = button->palette().color(QPalette::Dark).rgb();
    const QPoint topLeft(0, 0);
    const QPoint bottomRight(button->width() - 1, button->height() - 1);
    QImage shot = button->grab().toImage();
    EXPECT_NE(shot.pixel(topLeft), light); // flat: no frame
    EXPECT_NE(shot.pixel(topLeft), shadow);
    Move(button, {5, 5});
    shot = button->grab().toImage();
    EXPECT_EQ(shot.pixel(topLeft), light); // raised
    EXPECT_EQ(shot.pixel(bottomRight), shadow);
    button->setDown(true);
    shot = button->grab().toImage();
    EXPECT_EQ(shot.pixel(topLeft), shadow); // sunken
    EXPECT_EQ(shot.pixel(bottomRight), light);
}

TEST_F(IconButtonTest, PressedShiftsTheIconOnePixelRightAndDown)
{
    const QImage normal = IconArea({0, 0});
    button->setDown(true);
    EXPECT_EQ(IconArea({1, 1}), normal);
    EXPECT_NE(IconArea({0, 0}), normal);
}

TEST_F(IconButtonTest, DisabledShowsTheGreyIconAndGivesItsFocusAway)
{
    QApplication::setActiveWindow(&parent);
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    Move(button, {5, 5});
    const QImage enabled = IconArea({0, 0});
    button->setEnabled(false);
    EXPECT_FALSE(button->hasFocus());
    EXPECT_TRUE(other->hasFocus());
    EXPECT_FALSE(button->IsHover());
    const QImage disabled = IconArea({0, 0});
    EXPECT_NE(disabled, enabled);
    // Grey: every pixel of the disabled icon has equal red, green and blue, within rounding.
    for (int y = 0; y < disabled.height(); ++y)
        for (int x = 0; x < disabled.width(); ++x) {
            const QColor c = disabled.pixelColor(x, y);
            EXPECT_LE(std::abs(c.red() - c.blue()), 40) << x << "," << y;
        }
}

TEST_F(IconButtonTest, AlignmentAboveFourIsRefused)
{
    EXPECT_EQ(button->SetIconAlignment(4), 4);
    EXPECT_EQ(button->IconAlignment(), IconButton::kIconAbove);
    EXPECT_EQ(button->SetIconAlignment(IconButton::kIconRight), 0);
    EXPECT_EQ(button->IconAlignment(), IconButton::kIconRight);
}

TEST_F(IconButtonTest, CursorTooltipAndMissingResources)
{
    EXPECT_EQ(button->SetButtonCursor(kCursorButton), 0);
    EXPECT_EQ(button->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(button->SetButtonCursor(9999), 1);
    EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
    button->SetTooltip(QStringLiteral("Convert video"), true);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Convert video"));
    button->SetTooltip(QStringLiteral("Convert video"), false);
    EXPECT_TRUE(button->toolTip().isEmpty());
    button->LoadButtonIcon(9999);
    EXPECT_TRUE(button->Icon().isNull());
}

TEST_F(IconButtonTest, ParentBackgroundShowsThrough)
{
    QPalette colours = parent.palette();
    colours.setColor(QPalette::Window, QColor(0, 200, 0));
    parent.setPalette(colours);
    parent.setAutoFillBackground(true);
    other->UseParentBackground();
    const QImage shot = parent.grab(other->geometry()).toImage();
    EXPECT_EQ(shot.pixelColor(other->width() - 3, other->height() / 2), QColor(0, 200, 0));
}

} // namespace
