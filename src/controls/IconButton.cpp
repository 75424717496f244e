#include "controls/IconButton.h"

#include "platform/ui/SoundPlayer.h"
#include "resources/Resources.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

constexpr int kAlignmentAccepted = 0;
constexpr int kAlignmentRefused = 4;
constexpr int kCaptionFlags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

QSize LogicalSize(const QPixmap& pixmap)
{
    return pixmap.deviceIndependentSize().toSize();
}

} // namespace

IconButton::IconButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    // Moves arrive without a button held, so that entering is noticed at once.
    setMouseTracking(true);
    setAutoDefault(false);
}

void IconButton::LoadButtonIcon(int id)
{
    icon = LoadIconPixmap(id);
    LoadDisabledIcon();
    update();
}

// The system's grey rendering of the icon, made again when colours change.
void IconButton::LoadDisabledIcon()
{
    disabledIcon = QPixmap();
    if (icon.isNull())
        return;
    QStyleOption option;
    option.initFrom(this);
    disabledIcon = style()->generatedIconPixmap(QIcon::Disabled, icon, &option);
}

void IconButton::SetHoverSound(SoundPlayer& player, int resourceId)
{
    hoverPlayer_ = &player;
    hoverSound = LoadWaveResource(resourceId);
}

void IconButton::UseParentBackground()
{
    useParentBackground = true;
}

int IconButton::SetButtonCursor(int id, bool repaint)
{
    const std::optional<QCursor> cursor = LoadCursorResource(id);
    if (cursor)
        setCursor(*cursor);
    else
        unsetCursor();
    if (repaint)
        update();
    return cursor ? 0 : 1;
}

void IconButton::SetTooltip(const QString& text, bool active)
{
    tooltipText_ = text;
    tooltipActive_ = active;
    setToolTip(active ? text : QString());
}

int IconButton::SetIconAlignment(int value, bool repaint)
{
    if (value < kIconLeft || value > kIconOver)
        return kAlignmentRefused;
    alignment = value;
    if (repaint)
        update();
    return kAlignmentAccepted;
}

IconButton::Layout IconButton::ComputeLayout(bool pressed) const
{
    const QSize size = LogicalSize(icon);
    const QRect area = rect();
    QRect iconRect(QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size);
    QRect textRect = area;
    if (!icon.isNull() && !text().isEmpty()) {
        switch (alignment) {
        case kIconAbove:
            iconRect.moveTop(imageOrigin.y());
            textRect.setTop(textRect.top() + size.height());
            break;
        case kIconLeft:
            iconRect.moveLeft(imageOrigin.x());
            textRect.setLeft(iconRect.right() + 1);
            break;
        case kIconRight:
            iconRect.moveRight(area.right() - imageOrigin.x());
            textRect.setRight(iconRect.left() - 1);
            break;
        default:
            break; // over: both centred, the caption on top of the icon
        }
    }
    if (pressed) {
        iconRect.translate(pressedOffset);
        textRect.translate(pressedOffset);
    }
    return {iconRect, textRect};
}

void IconButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool pressed = isDown();
    if (!useParentBackground)
        painter.fillRect(rect(), palette().color(QPalette::Button));
    PaintFrame(painter, pressed);
    const Layout layout = ComputeLayout(pressed);
    PaintIcon(painter, layout.iconRect);
    PaintCaption(painter, layout.textRect);
}

// Pressed: sunken (shadow top and left); hovered: raised (light top and left).
void IconButton::PaintFrame(QPainter& painter, bool pressed) const
{
    if (!pressed && !isHover)
        return;
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor topLeft = pressed ? shadow : light;
    const QColor bottomRight = pressed ? light : shadow;
    const QRect r = rect();
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

void IconButton::PaintIcon(QPainter& painter, const QRect& where) const
{
    if (!icon.isNull())
        painter.drawPixmap(where, isEnabled() ? icon : disabledIcon);
}

// Disabled captions are embossed: once in the light colour one pixel right and
// down, then in the shadow colour in place.
void IconButton::PaintCaption(QPainter& painter, const QRect& where) const
{
    if (!isEnabled()) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(where.translated(1, 1), kCaptionFlags, text());
        painter.setPen(palette().color(QPalette::Dark));
    } else {
        painter.setPen(palette().color(QPalette::ButtonText));
    }
    painter.drawText(where, kCaptionFlags, text());
}

void IconButton::mouseMoveEvent(QMouseEvent* event)
{
    QPushButton::mouseMoveEvent(event);
    // A drag that started elsewhere does not light the button up.
    if ((event->buttons() & Qt::LeftButton) && !isHover)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside && !isHover)
        EnterHover();
    else if (!inside && isHover)
        ClearHover();
}

void IconButton::EnterHover()
{
    isHover = true;
    update();
    if (hoverPlayer_)
        hoverPlayer_->PlayAsync(hoverSound);
}

void IconButton::ClearHover()
{
    if (!isHover)
        return;
    isHover = false;
    update();
}

void IconButton::leaveEvent(QEvent* event)
{
    ClearHover();
    QPushButton::leaveEvent(event);
}

void IconButton::focusOutEvent(QFocusEvent* event)
{
    ClearHover();
    QPushButton::focusOutEvent(event);
}

// Qt itself moves the focus on to the next widget when a focused button is
// disabled; the hover ends with it, and with the window's deactivation.
void IconButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    const bool deactivated = event->type() == QEvent::ActivationChange && !isActiveWindow();
    const bool disabled = event->type() == QEvent::EnabledChange && !isEnabled();
    if (deactivated || disabled)
        ClearHover();
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        LoadDisabledIcon();
}
