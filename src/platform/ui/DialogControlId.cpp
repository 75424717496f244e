#include "platform/ui/DialogControlId.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

namespace {

const char* const kControlIdProperty = "controlId";

} // namespace

void SetControlId(QWidget& control, int id)
{
    control.setProperty(kControlIdProperty, id);
}

int ControlId(const QWidget* control)
{
    const QVariant id = control ? control->property(kControlIdProperty) : QVariant();
    return id.isValid() ? id.toInt() : -1;
}

void SetControlText(QWidget& control, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(&control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(&control))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(&control))
        group->setTitle(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(&control))
        edit->setText(text);
}
