// Conversions whose pictures cannot all be written: the folder removed during
// the run, a read-only folder, a full file system. The run must end, leave no
// cut-short picture and say in one warning box how many pictures were lost.
#include "WindowDriver.h"

#include "settings/ProfileNames.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr qint64 kBmp320x240 = 54 + 320 * 240 * 3;
constexpr int kPicturesOfH264Mp4 = 75; // 3 s at the clip's own 25 frames per second

// A tmpfs mounted for the test's lifetime; mounting needs privileges the
// machine may not give, and then Reason() says why.
class TmpfsMount final {
public:
    TmpfsMount(const QString& path, unsigned long flags, const char* options) : path_(path)
    {
        QDir().mkpath(path);
        mounted_ = ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", flags, options) == 0;
        if (!mounted_)
            reason_ = QStringLiteral("cannot mount a tmpfs on %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~TmpfsMount()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool Mounted() const { return mounted_; }
    const QString& Reason() const { return reason_; }

private:
    QString path_;
    bool mounted_ = false;
    QString reason_;
};

// The count of lost pictures in the warning box that ends the conversion, or
// -1 (with a failure) when the box is missing or says something else.
// Boxes before it are counted by expectedBoxes.
int LostPictures(const WindowDriver& driver, const QString& expectedReason, int expectedBoxes = 1)
{
    const QRegularExpression pattern(QStringLiteral("^(\\d+) of the pictures could not be written to %1/?\\.\\n"
                                                    "The first error: .+: (.+)$")
                                         .arg(QRegularExpression::escape(driver.outputFolder)));
    EXPECT_EQ(driver.fake.messages.shown.size(), expectedBoxes) << driver.MessageTexts().toStdString();
    if (driver.fake.messages.shown.isEmpty())
        return -1;
    const auto& box = driver.fake.messages.shown.constLast();
    EXPECT_EQ(box.caption, QStringLiteral("Warning"));
    const QRegularExpressionMatch match = pattern.match(box.text);
    EXPECT_TRUE(match.hasMatch()) << box.text.toStdString();
    EXPECT_EQ(match.captured(2), expectedReason) << box.text.toStdString();
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Hidden files included: a failed picture leaves no temporary file either.
void ExpectOnlyWholePictures(const WindowDriver& driver, qint64 size)
{
    for (const QString& file : QDir(driver.outputFolder).entryList(QDir::Files | QDir::Hidden))
        EXPECT_EQ(QFileInfo(driver.outputFolder + u'/' + file).size(), size) << file.toStdString();
}

bool ConvertAndWait(WindowDriver& driver, const QString& clip)
{
    if (!driver.Open(clip) || !driver.StartConversion()) {
        ADD_FAILURE() << "did not start: " << driver.MessageTexts().toStdString();
        return false;
    }
    const bool ended = driver.WaitForEnd();
    EXPECT_TRUE(ended) << "the conversion hung";
    return ended;
}

TEST(OutputFaultTest, AFolderRemovedDuringTheRunIsReported)
{
    WindowDriver driver;
    ASSERT_TRUE(driver.Open(TestClip(clips::LongerMp4())));
    ASSERT_TRUE(driver.StartConversion());
    QDeadlineTimer deadline(20000);
    while (driver.Pictures().isEmpty() && driver.window->IsConverting() && !deadline.hasExpired())
        QTest::qWait(1);
    ASSERT_TRUE(driver.window->IsConverting()) << "ended before the folder could be removed";
    // Moved away first: a picture being written meanwhile would keep a plain removal from finishing.
    const QString gone = driver.outputFolder + QStringLiteral(".gone");
    ASSERT_TRUE(QDir().rename(driver.outputFolder, gone));
    ASSERT_TRUE(QDir(gone).removeRecursively());
    ASSERT_TRUE(driver.WaitForEnd()) << "the conversion hung";

    EXPECT_GT(LostPictures(driver, QStringLiteral("No such file or directory")), 0);
    ExpectOnlyWholePictures(driver, 54 + 160 * 120 * 3);
}

TEST(OutputFaultTest, AReadOnlyFolderLosesEveryPicture)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("readonly"));
    const TmpfsMount readOnly(folder, MS_RDONLY, "size=1m");
    QString reason = QStringLiteral("Read-only file system");
    int boxes = 1;
    WindowDriver driver(folder);
    if (!readOnly.Mounted()) {
        // As root no permission bits stop a write, so make the folder's place a regular file instead.
        std::printf("%s; writing below a regular file instead\n", qPrintable(readOnly.Reason()));
        QDir(folder).removeRecursively();
        WriteFile(folder, "not a folder");
        driver.outputFolder = folder + QStringLiteral("/pictures");
        driver.fake.profile.WriteText(ProfileNames::kSettings, ProfileNames::kOutputPictureFolder, driver.outputFolder);
        driver.window = std::make_unique<MainWindow>(driver.fake.services);
        reason = QStringLiteral("Not a directory");
        boxes = 2; // the folder that cannot be made is reported first
    }
    ASSERT_TRUE(ConvertAndWait(driver, TestClip(clips::H264Mp4())));
    EXPECT_EQ(LostPictures(driver, reason, boxes), kPicturesOfH264Mp4);
    EXPECT_TRUE(driver.Pictures().isEmpty());
}

TEST(OutputFaultTest, AFullFileSystemKeepsOnlyWholePictures)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("small"));
    const TmpfsMount small(folder, 0, "size=1m");
    if (!small.Mounted())
        GTEST_SKIP() << small.Reason().toStdString();
    WindowDriver driver(folder);
    ASSERT_TRUE(ConvertAndWait(driver, TestClip(clips::H264Mp4())));

    const int lost = LostPictures(driver, QStringLiteral("No space left on device"));
    EXPECT_GT(lost, 0);
    EXPECT_EQ(driver.Pictures().size() + lost, kPicturesOfH264Mp4);
    ExpectOnlyWholePictures(driver, kBmp320x240);
    QByteArray complaint;
    ASSERT_FALSE(driver.Pictures().isEmpty());
    EXPECT_TRUE(DecodesCleanly(folder + u'/' + driver.Pictures().constLast(), &complaint)) << complaint.toStdString();
}

} // namespace
