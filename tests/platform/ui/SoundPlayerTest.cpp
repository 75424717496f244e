#include "platform/ui/SoundPlayer.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A stand-in "aplay" on a PATH of its own: it copies the file it is given and
// stays busy, like a player with a sound to play, until the test releases it
// (or 20 s have passed); it leaves a mark when it ends.
class SoundPlayerTest : public ::testing::Test {
protected:
    SoundPlayerTest() : savedPath(qgetenv("PATH"))
    {
        const QString script = dir.filePath(QStringLiteral("aplay"));
        WriteFile(script, QStringLiteral("#!/bin/sh\n[ \"$1\" = -q ] || exit 3\ncat \"$2\" >> '%1'\n"
                                         "i=0\nwhile [ ! -e '%2' ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n"
                                         "touch '%3'\n")
                              .arg(Played(), Released(), Ended())
                              .toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", dir.path().toUtf8() + ":/usr/bin:/bin");
    }
    ~SoundPlayerTest() override { qputenv("PATH", savedPath); }
    QString Played() const { return dir.filePath(QStringLiteral("played")); }
    QString Released() const { return dir.filePath(QStringLiteral("released")); }
    QString Ended() const { return dir.filePath(QStringLiteral("ended")); }
    bool WaitForPlayed(qsizetype size)
    {
        return QTest::qWaitFor([this, size] { return ReadFile(Played()).size() >= size; }, 5000);
    }

    QTemporaryDir dir;
    QByteArray savedPath;
};

TEST_F(SoundPlayerTest, PlaysTheBytesWithoutWaitingAndDropsASoundWhileBusy)
{
    ProcessSoundPlayer player;
    ASSERT_TRUE(player.Program().endsWith(QStringLiteral("/aplay"))) << player.Program().toStdString();
    const QByteArray wave("RIFF-one-sound");
    player.PlayAsync(wave);
    ASSERT_TRUE(WaitForPlayed(wave.size()));
    EXPECT_EQ(ReadFile(Played()), wave);
    EXPECT_FALSE(QFile::exists(Ended())) << "the call waited for the sound to end";
    player.PlayAsync("RIFF-dropped");
    WriteFile(Released(), "");
    // Once the sound has ended the next one plays.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            player.PlayAsync("RIFF-later");
            return ReadFile(Played()).size() > wave.size();
        },
        5000));
    EXPECT_TRUE(ReadFile(Played()).startsWith(wave + "RIFF-later")) << ReadFile(Played()).toStdString();
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
