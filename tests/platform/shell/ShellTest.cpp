#include "platform/shell/Shell.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

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

} // namespace
