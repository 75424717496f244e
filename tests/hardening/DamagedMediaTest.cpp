// Damaged and unusual files through the main window: open, preview, convert.
// Each file is either refused with a message box or converts; a conversion
// writes only whole pictures or says why it ended. Nothing may crash or hang.
#include "DamagedMedia.h"
#include "WindowDriver.h"

#include "media/PreviewPlayer.h"
#include "settings/ConversionSettings.h"
#include "settings/ProfileNames.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QFileInfo>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct DamagedCase {
    const char* name;
    std::function<QString()> make;
    OutputFormat format = kFormatBmp; // JPEG keeps the large frames' pictures small
};

QString Mp4() { return TestClip(clips::H264Mp4()); }
QString Avi() { return TestClip(clips::Mpeg4Avi()); }
QString Mkv() { return TestClip(clips::H264Mkv()); }
QString Mpg() { return TestClip(clips::Mpeg2Mpg()); }
QString Webm() { return TestClip(clips::Vp8Webm()); }
QString Gif() { return TestClip(clips::AnimatedGif()); }

const DamagedCase kCases[] = {
    {"Mp4CutAtOnePercent", [] { return damaged::Truncated(Mp4(), 0.01); }},
    {"Mp4CutAtAThird", [] { return damaged::Truncated(Mp4(), 0.33); }},
    {"Mp4CutAtNinetyPercent", [] { return damaged::Truncated(Mp4(), 0.9); }},
    {"AviCutAtTwoPercent", [] { return damaged::Truncated(Avi(), 0.02); }},
    {"AviCutInTheMiddle", [] { return damaged::Truncated(Avi(), 0.5); }},
    {"MkvCutInTheMiddle", [] { return damaged::Truncated(Mkv(), 0.5); }},
    {"MpgCutInTheMiddle", [] { return damaged::Truncated(Mpg(), 0.5); }},
    {"WebmCutAtAQuarter", [] { return damaged::Truncated(Webm(), 0.25); }},
    {"GifCutInTheMiddle", [] { return damaged::Truncated(Gif(), 0.5); }},
    {"Mp4HeaderFlipped", [] { return damaged::Flipped(Mp4(), 0.0005, 64); }},
    {"Mp4MiddleFlipped", [] { return damaged::Flipped(Mp4(), 0.5, 4096); }},
    {"AviHeaderFlipped", [] { return damaged::Flipped(Avi(), 0.001, 64); }},
    {"AviMiddleFlipped", [] { return damaged::Flipped(Avi(), 0.5, 4096); }},
    {"MkvHeaderFlipped", [] { return damaged::Flipped(Mkv(), 0.002, 64); }},
    {"MpgMiddleFlipped", [] { return damaged::Flipped(Mpg(), 0.5, 4096); }},
    {"WebmHeaderFlipped", [] { return damaged::Flipped(Webm(), 0.001, 64); }},
    {"GifHeaderFlipped", [] { return damaged::Flipped(Gif(), 0.0, 16); }},
    {"ZeroLength", [] { return damaged::ZeroLength(); }},
    {"Mp4HeaderOnAviData", [] { return damaged::HeaderOnOther(Mp4(), Avi(), 4096); }},
    {"MpgHeaderOnWebmData", [] { return damaged::HeaderOnOther(Mpg(), Webm(), 2048); }},
    {"AviHeaderOnMkvData", [] { return damaged::HeaderOnOther(Avi(), Mkv(), 2048); }},
    {"TimestampsJumpBackwards", [] { return damaged::BackwardsTimestamps(); }},
    {"OnePixelFrame", [] { return damaged::FrameSize(1, 1, 1); }},
    {"LargeFrame", [] { return damaged::FrameSize(4096, 2160, 1); }, kFormatJpg},
};

class DamagedMediaTest : public ::testing::TestWithParam<DamagedCase> {
protected:
    DamagedMediaTest()
    {
        driver.fake.profile.WriteInt(ProfileNames::kSettings, ProfileNames::kOutputFormat, GetParam().format);
        driver.window = std::make_unique<MainWindow>(driver.fake.services);
    }
    ~DamagedMediaTest() override
    {
        std::printf("%s: %s\n", GetParam().name, qPrintable(outcome));
    }

    // Plays the preview a little and stops it: the headless player decodes the damage too.
    void Preview()
    {
        Watchdog watchdog(QStringLiteral("preview of %1").arg(GetParam().name), 20);
        driver.window->Player()->Play();
        QTest::qWait(300);
        if (driver.window->Player())
            driver.window->Player()->Stop();
    }

    // Every picture has the size of the first (none cut short), and the first,
    // middle and last decode cleanly.
    void ExpectWholePictures(const QStringList& pictures)
    {
        QSet<qint64> sizes;
        for (const QString& picture : pictures)
            sizes.insert(QFileInfo(driver.outputFolder + u'/' + picture).size());
        if (GetParam().format == kFormatBmp) {
            EXPECT_EQ(sizes.size(), 1) << "pictures of different sizes";
        }
        for (const qsizetype index : {qsizetype(0), pictures.size() / 2, pictures.size() - 1}) {
            QByteArray complaint;
            EXPECT_TRUE(DecodesCleanly(driver.outputFolder + u'/' + pictures.at(index), &complaint))
                << pictures.at(index).toStdString() << ": " << complaint.toStdString();
        }
    }

    WindowDriver driver;
    QString outcome = QStringLiteral("ended early");
};

TEST_P(DamagedMediaTest, IsRefusedWithAMessageOrConvertsToWholePictures)
{
    const QString file = GetParam().make();
    ASSERT_FALSE(file.isEmpty());
    bool opened = false;
    {
        Watchdog watchdog(QStringLiteral("opening %1").arg(GetParam().name), 20);
        opened = driver.Open(file);
    }
    if (!opened) {
        outcome = QStringLiteral("refused; ") + driver.MessageTexts();
        EXPECT_FALSE(driver.fake.messages.shown.isEmpty()) << "refused without a word";
        return;
    }
    Preview();
    if (!driver.window->Player()) {
        outcome = QStringLiteral("preview closed; ") + driver.MessageTexts();
        return; // the preview found the damage and closed with its message
    }
    bool started = false;
    {
        Watchdog watchdog(QStringLiteral("starting the conversion of %1").arg(GetParam().name), 20);
        started = driver.StartConversion();
    }
    if (started) {
        ASSERT_TRUE(driver.WaitForEnd()) << "the conversion hung";
    }
    const QStringList pictures = driver.Pictures();
    if (pictures.isEmpty())
        EXPECT_FALSE(driver.fake.messages.shown.isEmpty()) << "no pictures and no word why";
    else
        ExpectWholePictures(pictures);
    outcome = QStringLiteral("%1 pictures; %2").arg(pictures.size()).arg(driver.MessageTexts());
}

INSTANTIATE_TEST_SUITE_P(Corpus, DamagedMediaTest, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
