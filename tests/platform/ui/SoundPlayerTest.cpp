#include "platform/ui/SoundPlayer.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A stand-in "aplay" on a PATH of its own: it copies the file it is given and
// stays busy for a moment, like a player with a sound to play.
class SoundPlayerTest : public ::testing::Test {
protected:
    SoundPlayerTest() : savedPath(qgetenv("PATH"))
    {
        const QString script = dir.filePath(QStringLiteral("aplay"));
        WriteFile(script, QStringLiteral("#!/bin/sh\n[ \"$1\" = -q ] || exit 3\ncat \"$2\" >> '%1'\nsleep 0.3\n")
                              .arg(Played())
                              .toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", dir.path().toUtf8() + ":/usr/bin:/bin");
    }
    ~SoundPlayerTest() override { qputenv("PATH", savedPath); }
    QString Played() const { return dir.filePath(QStringLiteral("played")); }
    void WaitForPlayed(qsizetype size)
    {
        QElapsedTimer waited;
        waited.start();
        while (ReadFile(Played()).size() < size && waited.elapsed() < 5000)
            QTest::qWait(20);
    }

    QTemporaryDir dir;
    QByteArray savedPath;
};

TEST_F(SoundPlayerTest, PlaysTheBytesWithoutWaitingAndDropsASoundWhileBusy)
{
    ProcessSoundPlayer player;
    ASSERT_TRUE(player.Program().endsWith(QStringLiteral("/aplay"))) << player.Program().toStdString();
    const QByteArray wave("RIFF-one-sound");
    QElapsedTimer call;
    call.start();
    player.PlayAsync(wave);
    EXPECT_LT(call.elapsed(), 250); // the player's 0.3 s are not waited for
    player.PlayAsync("RIFF-dropped");
    WaitForPlayed(wave.size());
    EXPECT_EQ(ReadFile(Played()), wave);
    QTest::qWait(500);
    player.PlayAsync("RIFF-later");
    WaitForPlayed(wave.size() + 10);
    EXPECT_EQ(ReadFile(Played()), wave + "RIFF-later");
}

TEST_F(SoundPlayerTest, WithoutPlayerProgramItIsSilent)
{
    qputenv("PATH", dir.filePath(QStringLiteral("empty")).toUtf8());
    ProcessSoundPlayer player;
    EXPECT_TRUE(player.Program().isEmpty());
    player.PlayAsync("RIFF");
    EXPECT_FALSE(QFile::exists(Played()));
}

} // namespace
