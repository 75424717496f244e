#include "platform/ui/QtMessageService.h"
#include "support/ModalWatch.h"

#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

// Shows a box and reports the icon and buttons the user was shown, closing it with Escape.
std::pair<QMessageBox::Icon, QMessageBox::StandardButtons> Shown(const Message& message)
{
    std::pair<QMessageBox::Icon, QMessageBox::StandardButtons> seen{};
    const ModalWatch<QMessageBox> watch([&](QMessageBox& box) { seen = {box.icon(), box.standardButtons()}; });
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
