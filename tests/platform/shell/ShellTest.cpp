#include "platform/shell/Shell.h"
#include "support/DesktopSandbox.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

TEST(DesktopShell, StartProgramReportsWhyItCouldNotStart)
{
    QTemporaryDir dir;
    const QString notExecutable = dir.filePath(QStringLiteral("page.htm"));
    WriteFile(notExecutable, "<html></html>");
    DesktopShell shell;
    EXPECT_EQ(shell.StartProgram(dir.filePath(QStringLiteral("missing")), {}), kLaunchFileNotFound);
    EXPECT_EQ(shell.StartProgram(QStringLiteral("no-such-program-framelift"), {}), kLaunchFileNotFound);
    EXPECT_EQ(shell.StartProgram(notExecutable, {}), kLaunchAccessDenied);
}

TEST(DesktopShell, ArgumentsReachTheProgramWhole)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("args"));
    const QString script = dir.filePath(QStringLiteral("echo-args"));
    WriteFile(script, QStringLiteral("#!/bin/sh\nprintf '%s|' \"$@\" > '%1'\n").arg(out).toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
    DesktopShell shell;
    const QString target = QStringLiteral("https://framelift.example/?a=1;rm -rf $HOME");
    ASSERT_EQ(shell.StartProgram(script, {QStringLiteral("--new-tab"), target}), kLaunchSucceeded);
    for (int i = 0; i < 100 && ReadFile(out).isEmpty(); ++i)
        QThread::msleep(20);
    EXPECT_EQ(QString::fromUtf8(ReadFile(out)), QStringLiteral("--new-tab|") + target + QStringLiteral("|"));
}

// The launch code the opening reported; -1 when none came within a generous wait.
int Open(const QUrl& url)
{
    DesktopShell shell;
    QObject receiver;
    int code = -1;
    shell.OpenUrl(url, &receiver, [&code](int reported) { code = reported; });
    const QDeadlineTimer deadline(20000);
    while (code == -1 && !deadline.hasExpired())
        QTest::qWait(10); // also deletes the finished opener
    return code;
}

TEST(DesktopShell, OpenUrlReportsWhatTheDesktopsOpenerFound)
{
    DesktopSandbox desktop;
    QTemporaryDir dir;
    EXPECT_EQ(Open(QUrl(QStringLiteral("https://framelift.example/"))), kLaunchNoAssociation);
    EXPECT_EQ(Open(QUrl::fromLocalFile(dir.filePath(QStringLiteral("missing.htm")))), kLaunchFileNotFound);

    desktop.RegisterRecorder({QStringLiteral("x-scheme-handler/https")});
    const QString target = QStringLiteral("https://framelift.example/a%20b?x=1&y=$(z)");
    EXPECT_EQ(Open(QUrl(target)), kLaunchSucceeded);
    EXPECT_EQ(desktop.WaitForRecorded(), target + u'|');
}

TEST(DesktopShell, AHandlerThatFailsIsAFailedOpening)
{
    DesktopSandbox desktop;
    desktop.RegisterRecorder({QStringLiteral("x-scheme-handler/https")}, 1);
    EXPECT_EQ(Open(QUrl(QStringLiteral("https://framelift.example/"))), kLaunchAssociationIncomplete);
}

} // namespace
