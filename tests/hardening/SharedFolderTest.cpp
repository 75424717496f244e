// Pictures in a folder that other conversions write into too, and that a
// conversion killed in the middle wrote into: no picture replaces another,
// and no name ever holds part of a picture. Each conversion is a separate
// framelift-extract process.
#include "WindowDriver.h"

#include "support/TestClips.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

#ifdef EXTRACT_TOOL

constexpr int kWaitMs = 120000;

// A clip whose small frames decode far faster than one a millisecond, so
// that conversions running at the same moment name many pictures alike.
QString SmallClip()
{
    return TestClip({QStringLiteral("small-fast.mkv"),
                     {"-f", "lavfi", "-i", MovingPicture(64, 48, 25, 8), "-c:v", "libx264", "-preset", "veryfast"}});
}

// A conversion of the first seconds of a clip into folder, started and left running.
class Conversion final {
public:
    Conversion(const QString& clip, const QString& folder, const QString& format, double seconds,
               const QStringList& clock = {})
    {
        const QStringList arguments{QStringLiteral("--input"), clip, QStringLiteral("--out"), folder,
                                    QStringLiteral("--format"), format, QStringLiteral("--end"),
                                    QString::number(seconds)};
        if (clock.isEmpty()) {
            process_.start(QStringLiteral(EXTRACT_TOOL), arguments);
        } else {
            // The fake clock leaves the monotonic one alone: timed waits go on working.
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
            process_.setProcessEnvironment(environment);
            process_.start(QStringLiteral(FAKETIME_PROGRAM), clock + QStringList{QStringLiteral(EXTRACT_TOOL)} + arguments);
        }
    }

    bool Started() { return process_.waitForStarted(); }
    void Kill()
    {
        process_.kill();
        process_.waitForFinished();
    }
    // The pictures it says it wrote, or -1 (with a failure) when it did not end well.
    qint64 Written()
    {
        EXPECT_TRUE(process_.waitForFinished(kWaitMs)) << "the conversion hung";
        const QString output = QString::fromLocal8Bit(process_.readAllStandardOutput());
        const QString errors = QString::fromLocal8Bit(process_.readAllStandardError());
        EXPECT_EQ(process_.exitCode(), 0) << errors.toStdString();
        static const QRegularExpression kWritten(QStringLiteral("written: (\\d+)"));
        const QRegularExpressionMatch match = kWritten.match(output);
        EXPECT_TRUE(match.hasMatch()) << output.toStdString() << errors.toStdString();
        return match.hasMatch() ? match.captured(1).toLongLong() : -1;
    }

private:
    QProcess process_;
};

QStringList Pictures(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("capture.*")}, QDir::Files, QDir::Name);
}

// Hidden ones included.
QStringList Files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

TEST(SharedFolderTest, TwoConversionsStartedTogetherKeepEveryPictureBothWrote)
{
    QTemporaryDir folder;
    const QString clip = SmallClip();
    Conversion first(clip, folder.path(), QStringLiteral("bmp"), 8);
    Conversion second(clip, folder.path(), QStringLiteral("bmp"), 8);
    ASSERT_TRUE(first.Started() && second.Started());
    const qint64 written = first.Written() + second.Written();
    EXPECT_EQ(written, 400);
    EXPECT_EQ(Pictures(folder.path()).size(), written);
}

// When the clock is set back an hour, a conversion relives the moments of
// one an hour before: both take their clocks from the same instant here.
TEST(SharedFolderTest, AConversionAfterTheClockWasSetBackKeepsThePicturesOfTheHourBefore)
{
    QTemporaryDir folder;
    const QString clip = SmallClip();
    const QStringList clock{QStringLiteral("-f"), QStringLiteral("@2030-10-27 02:30:00")};
    qint64 written = 0;
    for (int run = 0; run < 2; ++run) {
        Conversion conversion(clip, folder.path(), QStringLiteral("bmp"), 8, clock);
        ASSERT_TRUE(conversion.Started()) << FAKETIME_PROGRAM << " did not start";
        written += conversion.Written();
    }
    EXPECT_EQ(written, 400);
    const QStringList pictures = Pictures(folder.path());
    EXPECT_EQ(pictures.size(), written);
    EXPECT_TRUE(pictures.value(0).startsWith(QStringLiteral("capture.2030.10.27.02.30.")))
        << pictures.value(0).toStdString();
}

// Killed at several moments while it writes, a conversion leaves whole
// pictures under picture names, and at most its hidden temporary files.
TEST(SharedFolderTest, AKilledConversionLeavesOnlyWholePictures)
{
    QTemporaryDir folder;
    const QString clip = TestClip({QStringLiteral("kill.mp4"),
                                   {"-f", "lavfi", "-i", MovingPicture(640, 360, 25, 1), "-c:v", "libx264",
                                    "-preset", "veryfast"}});
    for (const int afterMs : {0, 30, 60, 90, 120}) {
        const qsizetype before = Files(folder.path()).size();
        Conversion conversion(clip, folder.path(), QStringLiteral("png"), 1);
        ASSERT_TRUE(conversion.Started());
        QDeadlineTimer deadline(kWaitMs);
        while (Files(folder.path()).size() == before && !deadline.hasExpired())
            QThread::msleep(1);
        QThread::msleep(static_cast<unsigned long>(afterMs));
        conversion.Kill();
    }
    const QStringList pictures = Pictures(folder.path());
    ASSERT_FALSE(pictures.isEmpty());
    for (const QString& picture : pictures) {
        QByteArray complaint;
        EXPECT_TRUE(DecodesCleanly(folder.filePath(picture), &complaint)) << picture.toStdString() << ": "
                                                                          << complaint.toStdString();
    }
    static const QRegularExpression kTemporary(QStringLiteral("^\\.framelift-[A-Za-z0-9]{6}\\.part$"));
    for (const QString& name : Files(folder.path()))
        EXPECT_TRUE(pictures.contains(name) || kTemporary.match(name).hasMatch()) << name.toStdString();
}

#else

TEST(SharedFolderTest, RunsInTheBuildWithTheBenchmarks)
{
    GTEST_SKIP() << "the conversions under faketime run in the build with the benchmarks, not the sanitizer build";
}

#endif

} // namespace
