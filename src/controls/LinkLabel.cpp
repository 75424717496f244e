#include "controls/LinkLabel.h"

#include "controls/LinkLaunch.h"
#include "platform/ui/DialogControlId.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

LinkLabel::LinkLabel(Shell& shell, MessageService& messages, QWidget* parent)
    : QLabel(parent), shell_(shell), messages_(messages)
{
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    hoverTimer.setInterval(kHoverPeriodMs);
    connect(&hoverTimer, &QTimer::timeout, this, &LinkLabel::CheckPointerLeft);
}

LinkLabel* LinkLabel::Attach(QLabel* control, Shell& shell, MessageService& messages)
{
    auto* link = new LinkLabel(shell, messages, control->parentWidget());
    SetControlId(*link, ControlId(control));
    link->setObjectName(control->objectName());
    link->setGeometry(control->geometry());
    link->setAlignment(control->alignment());
    link->setFont(control->font());
    link->setText(control->text());
    link->stackUnder(control);
    delete control;

    link->target = link->text();
    link->standardFont = link->font();
    link->underlineFont = link->font();
    link->underlineFont.setUnderline(true);
    link->FitToText();
    link->setToolTip(link->target);
    link->ApplyColour();
    return link;
}

void LinkLabel::SetTarget(const QString& newTarget)
{
    target = newTarget;
    FitToText();
    setToolTip(target);
}

void LinkLabel::SetUnderlineMode(int mode)
{
    if (mode != underlineMode) {
        setFont(mode == kUnderlineAlways ? underlineFont : standardFont);
        update();
    }
    underlineMode = mode;
}

void LinkLabel::FitToText()
{
    const QSize textSize = QFontMetrics(underlineFont).size(Qt::TextSingleLine, text());
    const int border = 2 * frameWidth();
    QRect fitted(geometry().topLeft(), QSize(textSize.width() + border, textSize.height() + border));
    if (alignment() & Qt::AlignVCenter)
        fitted.moveCenter(QPoint(fitted.center().x(), geometry().center().y()));
    if (alignment() & Qt::AlignHCenter)
        fitted.moveCenter(QPoint(geometry().center().x(), fitted.center().y()));
    else if (alignment() & Qt::AlignRight)
        fitted.moveRight(geometry().right());
    setGeometry(fitted);
}

QColor LinkLabel::TextColour() const
{
    if (overControl)
        return hoverColour;
    return visited ? visitedColour : linkColour;
}

void LinkLabel::ApplyColour()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, TextColour());
    setPalette(colours);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event)
{
    if (!overControl) {
        overControl = true;
        if (underlineMode == kUnderlineHover)
            setFont(underlineFont);
        ApplyColour();
        hoverTimer.start();
    }
    QLabel::mouseMoveEvent(event);
}

// The pointer may leave faster than a move message reports it: the timer
// looks where it is now.
void LinkLabel::CheckPointerLeft()
{
    if (rect().contains(mapFromGlobal(QCursor::pos())))
        return;
    overControl = false;
    hoverTimer.stop();
    if (underlineMode != kUnderlineAlways)
        setFont(standardFont);
    ApplyColour();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

void LinkLabel::Click()
{
    overControl = false;
    LaunchTarget(shell_, target, this, [this](int result) { ShowLaunchResult(result); });
}

void LinkLabel::ShowLaunchResult(int result)
{
    visited = Launched(result);
    ApplyColour();
    if (!visited) {
        QApplication::beep();
        ShowLaunchError(messages_, this, result);
    }
}
