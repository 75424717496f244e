// framelift-extract run as a user runs it: a separate process, its exit
// status, its output folder, and the ffmpeg program's frames for the same
// stretch. The test program's own config folder stands for the user's.
#include "support/FfmpegReference.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr int kWaitMs = 120000;

struct Finished {
    int exitCode = -1;
    QString output;
    QString errors;
};

Finished Extract(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(EXTRACT_TOOL), arguments);
    Finished run;
    if (!process.waitForFinished(kWaitMs) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QStringList Pictures(const QString& folder, const QString& extension)
{
    return QDir(folder).entryList({QStringLiteral("capture.*.") + extension}, QDir::Files, QDir::Name);
}

// Hidden ones included: a stopped conversion must leave no temporary file.
QStringList AllFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void ExpectWholePictures(const QString& folder, const QStringList& pictures, int width, int height)
{
    for (const QString& name : pictures) {
        const QImage image(folder + u'/' + name);
        EXPECT_FALSE(image.isNull()) << name.toStdString() << " does not decode";
        EXPECT_EQ(image.size(), QSize(width, height)) << name.toStdString();
    }
}

QString CopyInto(const QString& folder, const QString& clip, const QString& name)
{
    const QString path = folder + u'/' + name;
    QDir().mkpath(folder);
    EXPECT_TRUE(QFile::copy(clip, path)) << path.toStdString();
    return path;
}

// Each clip into a subfolder of its name, holding as many whole pictures as
// the ffmpeg program takes from the same stretch at the clip's rate; the
// clips given one by one, or their folder.
TEST(Command, EachClipIntoItsOwnSubfolder)
{
    QTemporaryDir work;
    const QString clips = work.filePath(QStringLiteral("clips"));
    const QString mp4 = CopyInto(clips, TestClip(clips::H264Mp4()), QStringLiteral("first.mp4"));
    const QString avi = CopyInto(clips, TestClip(clips::Mpeg4Avi()), QStringLiteral("second.avi"));
    WriteFile(clips + QStringLiteral("/notes.txt"), "not a clip");
    for (const QStringList& inputs : {QStringList{mp4, avi}, QStringList{clips}}) {
        const QString out = work.filePath(QStringLiteral("out") + QString::number(inputs.size()));
        const Finished run = Extract(QStringList{QStringLiteral("--format"), QStringLiteral("png"),
                                                 QStringLiteral("--start"), QStringLiteral("0.5"), QStringLiteral("--end"),
                                                 QStringLiteral("00:00:01.700"), QStringLiteral("-o"), out} +
                                     inputs);

        ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
        EXPECT_EQ(QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                  (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
        for (const QString& clip : {mp4, avi}) {
            const QString folder = out + u'/' + QFileInfo(clip).completeBaseName();
            const QStringList pictures = Pictures(folder, QStringLiteral("png"));
            const auto expected = FfmpegReferenceFrames(clip, 0.5, 1.7, 25, 320, 240);
            EXPECT_EQ(pictures.size(), static_cast<qsizetype>(expected.size())) << clip.toStdString();
            EXPECT_GT(pictures.size(), 0);
            ExpectWholePictures(folder, pictures, 320, 240);
        }
    }
}

// An option not given takes the value the Options dialog saved, read from the
// profile file under the names the window stores.
TEST(Command, TakesTheSavedOptions)
{
    QTemporaryDir work;
    const QString out = work.filePath(QStringLiteral("saved"));
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    WriteFile(config + QStringLiteral("/Quenlar/framelift.ini"),
              "[Settings]\nnOuptputFormat=1\nn_Sampling_interval=5\nOutputPictureFolder=" + out.toUtf8() + "\n");
    const QString clip = TestClip(clips::H264Mp4());

    const Finished run = Extract({clip, QStringLiteral("--end"), QStringLiteral("2")});
    QFile::remove(config + QStringLiteral("/Quenlar/framelift.ini"));

    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.errors.toStdString(), ""); // nothing the libraries say of their own workings
    const QStringList pictures = Pictures(out, QStringLiteral("jpg"));
    EXPECT_EQ(pictures.size(), static_cast<qsizetype>(FfmpegReferenceFrames(clip, 0, 2, 25, 320, 240).size() / 5));
    ExpectWholePictures(out, pictures, 320, 240);
}

struct FailureCase {
    const char* label;
    QStringList (*arguments)(const QString& work);
    int exitCode;
};

const FailureCase kFailures[] = {
    {"missing file", [](const QString& work) { return QStringList{work + QStringLiteral("/none.mp4")}; }, 4},
    {"no video", [](const QString&) { return QStringList{TestClip(clips::AudioOnlyM4a())}; }, 4},
    {"stretch past the end",
     [](const QString&) { return QStringList{TestClip(clips::H264Mp4()), QStringLiteral("--start"), QStringLiteral("5")}; },
     3},
    {"end before start",
     [](const QString&) {
         return QStringList{TestClip(clips::H264Mp4()), QStringLiteral("-s"), QStringLiteral("2"), QStringLiteral("-e"),
                            QStringLiteral("1")};
     },
     3},
    {"folder without clips", [](const QString& work) { return QStringList{work}; }, 3},
    {"folder below a file",
     [](const QString& work) {
         WriteFile(work + QStringLiteral("/file"), "x");
         return QStringList{TestClip(clips::H264Mp4()), QStringLiteral("-o"), work + QStringLiteral("/file/out")};
     },
     5},
    {"bad format", [](const QString&) { return QStringList{TestClip(clips::H264Mp4()), QStringLiteral("-f"), QStringLiteral("webp")}; }, 2},
    {"bad time", [](const QString&) { return QStringList{TestClip(clips::H264Mp4()), QStringLiteral("-e"), QStringLiteral("1:75")}; }, 2},
    {"no clip", [](const QString&) { return QStringList{}; }, 2},
};

// Each failure has its own status and says why on standard error.
TEST(Command, ExitStatusTellsWhatWentWrong)
{
    for (const FailureCase& failure : kFailures) {
        QTemporaryDir work;
        const QString out = work.filePath(QStringLiteral("out"));
        const Finished run = Extract(QStringList{QStringLiteral("-o"), out} + failure.arguments(work.path()));
        EXPECT_EQ(run.exitCode, failure.exitCode) << failure.label << ": " << run.errors.toStdString();
        EXPECT_FALSE(run.errors.trimmed().isEmpty()) << failure.label;
        EXPECT_TRUE(Pictures(out, QStringLiteral("*")).isEmpty()) << failure.label;
    }
}

// Ctrl-C stops like the Stop button: the pictures on their way are finished,
// no temporary file is left, and the status says it was stopped.
TEST(Command, CtrlCLeavesOnlyWholePictures)
{
    const QString clip = TestClip({QStringLiteral("long-640.mp4"),
                                   {"-f", "lavfi", "-i", MovingPicture(640, 480, 25, 30), "-c:v", "libx264", "-preset",
                                    "ultrafast"}});
    QTemporaryDir work;
    const QString out = work.filePath(QStringLiteral("out"));
    QProcess process;
    // As from a terminal, even when this test runs where Ctrl-C is ignored.
    process.setChildProcessModifier([] { std::signal(SIGINT, SIG_DFL); });
    process.start(QStringLiteral(EXTRACT_TOOL), {clip, QStringLiteral("-f"), QStringLiteral("png"), QStringLiteral("-o"), out});
    ASSERT_TRUE(process.waitForStarted());
    const QDeadlineTimer deadline(kWaitMs);
    while (Pictures(out, QStringLiteral("png")).size() < 3 && !deadline.hasExpired() &&
           process.state() == QProcess::Running)
        QThread::msleep(5);
    ASSERT_EQ(process.state(), QProcess::Running) << "the conversion ended before it could be stopped";
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(kWaitMs));

    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130) << process.readAllStandardError().toStdString();
    const QStringList pictures = Pictures(out, QStringLiteral("png"));
    EXPECT_LT(pictures.size(), 30 * 25);
    EXPECT_EQ(AllFiles(out), pictures);
    ExpectWholePictures(out, pictures, 640, 480);
    const QRegularExpressionMatch written =
        QRegularExpression(QStringLiteral("written: (\\d+)")).match(QString::fromLocal8Bit(process.readAllStandardOutput()));
    ASSERT_TRUE(written.hasMatch());
    EXPECT_EQ(written.captured(1).toLongLong(), pictures.size());
}

// Every option --help shows is in the manual page, and the page names no
// option the command does not have.
TEST(Command, HelpAndManualPageNameTheSameOptions)
{
    const Finished help = Extract({QStringLiteral("--help")});
    ASSERT_EQ(help.exitCode, 0);
    // The page's text with its font changes and escapes taken out.
    const QString manual = QString::fromUtf8(ReadFile(QStringLiteral(MAN_PAGE)))
                               .remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP])")))
                               .remove(u'\\');
    ASSERT_FALSE(manual.isEmpty());
    static const QRegularExpression kOption(QStringLiteral("(?<![\\w-])--?[a-z][a-z-]*"));
    const auto options = [](const QString& text) {
        QSet<QString> found;
        for (auto match = kOption.globalMatch(text); match.hasNext();)
            found.insert(match.next().captured());
        return found;
    };
    const QSet<QString> shown = options(help.output);
    EXPECT_TRUE(shown.contains(QStringLiteral("--deinterlace")));
    QStringList missing;
    for (const QString& option : shown)
        if (!options(manual).contains(option))
            missing.append(option);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();
    QStringList unknown;
    for (const QString& option : options(manual))
        if (!shown.contains(option))
            unknown.append(option);
    EXPECT_TRUE(unknown.isEmpty()) << unknown.join(u' ').toStdString();
}

} // namespace
