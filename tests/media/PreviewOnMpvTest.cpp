#include "media/PreviewPlayer.h"
#include "media/PreviewWindow.h"
#include "platform/media/MpvPlaybackGraph.h"
#include "support/RecordingMessageService.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <csignal>
#include <thread>

namespace {

// Waits (bounded) for a reader of the pipe, then hands it the data.
void Deliver(const QString& pipe, const QByteArray& data)
{
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 2000; ++tries) {
        fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (fd < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (fd < 0)
        return;
    ::fcntl(fd, F_SETFL, 0);
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t written = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (written <= 0)
            break;
        done += written;
    }
    ::close(fd);
}

// A file that is still on its way (a slow disk or network) holds up neither
// the window nor the player: the preview shows once the file has come.
TEST(PreviewOnMpv, OpeningReturnsBeforeTheFileHasArrived)
{
    std::setlocale(LC_NUMERIC, "C");
    std::signal(SIGPIPE, SIG_IGN); // a reader that stops early ends the delivery, not the test
    QTemporaryDir dir;
    const QString arriving = dir.filePath(QStringLiteral("arriving.mkv"));
    ASSERT_EQ(mkfifo(QFile::encodeName(arriving).constData(), 0600), 0);
    MpvPlaybackServices playback(PlaybackOutput::Headless);
    RecordingMessageService messages;
    QWidget owner;
    PreviewPlayer player(PreviewServices{playback, messages, {}}, &owner);
    const bool opened = player.Open(arriving);
    // Only now does the file come.
    std::thread writer(Deliver, arriving, ReadFile(TestClip(clips::H264Mkv())));
    EXPECT_TRUE(opened) << messages.Texts().join(u'|').toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&player] { return player.Window() && player.Window()->isVisible(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&player] { return player.StopPosition() > 0; }, 20000));
    writer.join();
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.Texts().join(u'|').toStdString();
}

} // namespace
