#include "controls/LinkLaunch.h"
#include "support/FakeShell.h"
#include "support/RecordingMessageService.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

const QString kTarget = QStringLiteral("https://framelift.example/?a=1;b=2 $(x)");

// The launch code LaunchTarget reported; -1 when it reported none.
int Launch(FakeShell& shell, const QString& target)
{
    QObject receiver;
    int code = -1;
    LaunchTarget(shell, target, &receiver, [&code](int reported) { code = reported; });
    for (int round = 0; round < 3 && code == -1; ++round) // the opening, then the handler's lookup
        QCoreApplication::processEvents();
    return code;
}

TEST(LaunchTarget, DesktopHandlerFirst)
{
    FakeShell shell;
    shell.htmlHandler = QStringLiteral("firefox %u");
    EXPECT_EQ(Launch(shell, kTarget), kLaunchSucceeded);
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_TRUE(shell.started.isEmpty());
}

TEST(LaunchTarget, FallsBackToTheHtmlHandlerWithTheTargetAsOneArgument)
{
    struct Case {
        QString handler;
        QString program;
        QStringList arguments;
    };
    const Case cases[] = {
        {QStringLiteral("firefox %u"), QStringLiteral("firefox"), {kTarget}},
        {QStringLiteral("\"/opt/My Browser/run\" --new-tab \"%1\" --x"), QStringLiteral("/opt/My Browser/run"),
         {QStringLiteral("--new-tab"), kTarget}},
        {QStringLiteral("browser -a %1"), QStringLiteral("browser"), {QStringLiteral("-a"), kTarget}},
        {QStringLiteral("chromium --profile=2 %U"), QStringLiteral("chromium"), {QStringLiteral("--profile=2"), kTarget}},
        {QStringLiteral("lynx"), QStringLiteral("lynx"), {kTarget}},
    };
    for (const Case& c : cases) {
        FakeShell shell;
        shell.openResult = kLaunchNoAssociation;
        shell.htmlHandler = c.handler;
        shell.startResult = 42;
        EXPECT_EQ(Launch(shell, kTarget), 42) << c.handler.toStdString();
        ASSERT_EQ(shell.started.size(), 1);
        EXPECT_EQ(shell.started[0].program, c.program);
        EXPECT_EQ(shell.started[0].arguments, c.arguments) << c.handler.toStdString();
    }
}

TEST(LaunchTarget, WithoutHandlerTheOpenResultStands)
{
    FakeShell shell;
    shell.openResult = kLaunchNoAssociation;
    EXPECT_EQ(Launch(shell, kTarget), kLaunchNoAssociation);
    EXPECT_TRUE(shell.started.isEmpty());
}

TEST(ShowLaunchError, TextsByCode)
{
    const struct {
        int code;
        const char* reason;
    } cases[] = {
        {26, "A sharing violation occurred. "},
        {2, "The specified file was not found."},
        {31, "There is no application associated\nwith the given filename extension."},
        {4, "Unknown Error (4) occurred."},
        {-7, "Unknown Error (-7) occurred."},
    };
    for (const auto& c : cases) {
        RecordingMessageService messages;
        ShowLaunchError(messages, nullptr, c.code);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, QStringLiteral("Unable to open hyperlink:\n\n") + QString::fromLatin1(c.reason));
        EXPECT_EQ(messages.shown[0].caption, QStringLiteral("test_controls"));
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    }
}

} // namespace
