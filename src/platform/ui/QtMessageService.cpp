#include "platform/ui/QtMessageService.h"

#include <QMessageBox>

namespace {

QMessageBox::StandardButtons ToButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToIcon(MessageIcon icon)
{
    return icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
}

MessageAnswer ToAnswer(int button)
{
    switch (button) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default: return MessageAnswer::Ok;
    }
}

} // namespace

MessageAnswer QtMessageService::Show(const Message& message)
{
    QMessageBox box(ToIcon(message.icon), message.caption, message.text, ToButtons(message.buttons),
                    message.owner);
    // A box on the main window answers with Escape like the platform's: Cancel or No.
    if (message.buttons == MessageButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    return ToAnswer(box.exec());
}
