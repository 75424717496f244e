// Two processes writing one profile file at the same time.
#include "platform/profile/Profile.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kWrites = 200;

TEST(TwoCopiesTest, BothKeepTheirLastValueAndTheFileParses)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("framelift.ini"));
    QProcess first;
    QProcess second;
    const QString count = QString::number(kWrites);
    first.start(QStringLiteral(PROFILE_WRITER_PROGRAM), {path, QStringLiteral("First"), count});
    second.start(QStringLiteral(PROFILE_WRITER_PROGRAM), {path, QStringLiteral("Second"), count});
    ASSERT_TRUE(first.waitForStarted() && second.waitForStarted());
    ASSERT_TRUE(first.waitForFinished(30000)) << "the first writer hung";
    ASSERT_TRUE(second.waitForFinished(30000)) << "the second writer hung";
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();

    QSettings raw(path, QSettings::IniFormat);
    EXPECT_EQ(raw.status(), QSettings::NoError);
    Profile profile(path);
    EXPECT_EQ(profile.GetInt(QStringLiteral("Race"), QStringLiteral("First"), -1), kWrites);
    EXPECT_EQ(profile.GetInt(QStringLiteral("Race"), QStringLiteral("Second"), -1), kWrites);
    const QString last = profile.GetText(QStringLiteral("Race"), QStringLiteral("LastWriter"), QString());
    EXPECT_TRUE(last == QStringLiteral("First") || last == QStringLiteral("Second")) << last.toStdString();
    for (const QByteArray& line : ReadFile(path).split('\n'))
        EXPECT_TRUE(line.isEmpty() || line.startsWith('[') || line.contains('=')) << line.toStdString();
}

} // namespace
