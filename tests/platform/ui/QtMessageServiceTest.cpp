#include "platform/ui/QtMessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Shows a box and reports the icon and buttons the user was shown, closing it with Escape.
std::pair<QMessageBox::Icon, QMessageBox::StandardButtons> Shown(const Message& message)
{
    std::pair<QMessageBox::Icon, QMessageBox::StandardButtons> seen{};
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen = {box->icon(), box->standardButtons()};
        box->reject();
    });
    poll.start(10);
    QtMessageService().Show(message);
    return seen;
}

TEST(QtMessageService, ShowsTheIconAndButtonsAsked)
{
    Message question{nullptr, QStringLiteral("a.avi exists."), QStringLiteral("Warning"), MessageButtons::YesNo,
                     MessageIcon::Warning};
    EXPECT_EQ(Shown(question), std::make_pair(QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No));
    const Message plain{nullptr, QStringLiteral("Done"), QStringLiteral("framelift")};
    EXPECT_EQ(Shown(plain), std::make_pair(QMessageBox::NoIcon, QMessageBox::StandardButtons(QMessageBox::Ok)));
}

} // namespace
