#include "platform/profile/Profile.h"
#include "settings/PathRules.h"
#include "settings/ProfileNames.h"
#include "settings/SettingsStore.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Known folders inside the test's own folder, or none at all.
class FakeKnownFolders final : public KnownFolders {
public:
    explicit FakeKnownFolders(QString root) : root_(std::move(root)) {}
    std::optional<QString> Locate(KnownFolder folder) override
    {
        if (root_.isEmpty())
            return std::nullopt;
        return root_ + (folder == KnownFolder::Videos ? QStringLiteral("/Videos") : QStringLiteral("/Pictures"));
    }

private:
    QString root_;
};

class SettingsStoreTest : public ::testing::Test {
protected:
    ConversionSettings Load()
    {
        SettingsContext context{profile, folders, messages};
        return LoadConversionSettings(context);
    }
    void Store(const QString& key, const QString& value) { profile.WriteText(ProfileNames::kSettings, key, value); }

    QTemporaryDir dir;
    Profile profile{dir.filePath(QStringLiteral("profile.ini"))};
    FakeKnownFolders folders{dir.path()};
    RecordingMessageService messages;
};

TEST_F(SettingsStoreTest, AnEmptyProfileYieldsTheDefaultsAndCreatesThePictureFolder)
{
    QDir().mkpath(dir.filePath(QStringLiteral("Pictures")));
    const ConversionSettings settings = Load();
    EXPECT_EQ(settings.outputFormat, kFormatBmp);
    EXPECT_EQ(settings.jpegQuality, 80);
    EXPECT_EQ(settings.samplingInterval, 1);
    EXPECT_EQ(settings.outputWidth, 0);
    EXPECT_EQ(settings.outputHeight, 0);
    EXPECT_EQ(settings.frameRateIndex, 0); // the clip's own frames, once one is open
    EXPECT_DOUBLE_EQ(settings.frameRate, 23.976);
    EXPECT_EQ(settings.outputFolder, dir.filePath(QStringLiteral("Pictures/framelift/")));
    EXPECT_TRUE(QFileInfo(settings.outputFolder).isDir());
    EXPECT_EQ(settings.outputFilePath, dir.filePath(QStringLiteral("Videos/output.avi")));
    EXPECT_TRUE(settings.toneMapHdr);
    EXPECT_EQ(settings.deinterlaceMode, kDeinterlaceAutomatic);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SettingsStoreTest, TheFrameRateIndexIsRepairedOnLoading)
{
    struct Case {
        const char* index;
        const char* customRate;
        int expectedIndex;
        double expectedRate;
    };
    const Case cases[] = {
        {"6", "12.5", 6, 12.5}, {"6", "abc", 6, 0.0}, {"7", "12.5", 0, 23.976}, {"-1", "12.5", 0, 23.976},
        {"0", "12.5", 0, 23.976}, {"3", "12.5", 3, 25.0}, {"5", "12.5", 5, 30.0},
    };
    for (const Case& c : cases) {
        Store(ProfileNames::kOutputFrameRateIndex, QString::fromLatin1(c.index));
        Store(ProfileNames::kOutputFrameRate, QString::fromLatin1(c.customRate));
        const ConversionSettings settings = Load();
        EXPECT_EQ(settings.frameRateIndex, c.expectedIndex) << c.index;
        EXPECT_DOUBLE_EQ(settings.frameRate, c.expectedRate) << c.index << " " << c.customRate;
    }
}

TEST_F(SettingsStoreTest, ReadingCreatesNoFolderLoadingDoes)
{
    const QString folder = dir.filePath(QStringLiteral("pics"));
    Store(ProfileNames::kOutputPictureFolder, folder);
    SettingsContext context{profile, folders, messages};
    EXPECT_EQ(ReadConversionSettings(context).outputFolder, folder + u'/');
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(Load().outputFolder, folder + u'/');
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

// What is saved loads back as the same settings, and under the names and
// types older readers of the profile expect.
TEST_F(SettingsStoreTest, SavedSettingsLoadBackUnchanged)
{
    ConversionSettings saved;
    saved.outputFormat = kFormatGif;
    saved.outputFolder = dir.filePath(QStringLiteral("out/"));
    saved.outputWidth = 352;
    saved.outputHeight = 288;
    saved.jpegQuality = 65;
    saved.samplingInterval = 65535;
    saved.outputFilePath = QStringLiteral("/videos/out.avi");
    saved.toneMapHdr = false;
    saved.deinterlaceMode = kDeinterlaceAlways;
    for (const auto& [index, rate] : {std::pair{6, 29.97}, std::pair{6, 1.0 / 3.0}, std::pair{4, 29.97}}) {
        saved.frameRateIndex = index;
        saved.frameRate = rate;
        SaveConversionSettings(profile, saved);
        const ConversionSettings loaded = Load();
        EXPECT_EQ(loaded.outputFormat, saved.outputFormat);
        EXPECT_EQ(loaded.outputFolder, saved.outputFolder);
        EXPECT_EQ(loaded.outputWidth, saved.outputWidth);
        EXPECT_EQ(loaded.outputHeight, saved.outputHeight);
        EXPECT_EQ(loaded.frameRateIndex, index);
        EXPECT_EQ(loaded.frameRate, rate) << index;
        EXPECT_EQ(loaded.jpegQuality, saved.jpegQuality);
        EXPECT_EQ(loaded.samplingInterval, saved.samplingInterval);
        EXPECT_EQ(loaded.outputFilePath, saved.outputFilePath);
        EXPECT_EQ(loaded.toneMapHdr, saved.toneMapHdr);
        EXPECT_EQ(loaded.deinterlaceMode, saved.deinterlaceMode);
    }
    EXPECT_EQ(profile.GetText(ProfileNames::kSettings, ProfileNames::kOutputPictureFolder, {}),
              dir.filePath(QStringLiteral("out")));
    EXPECT_EQ(profile.GetInt(ProfileNames::kVideoCompress, ProfileNames::kCompressorNumber, 0), -1);
    EXPECT_EQ(profile.GetInt(ProfileNames::kAudioCompress, ProfileNames::kCompressorNumber, 0), -1);
}

TEST_F(SettingsStoreTest, StoredValuesWinOverTheDefaults)
{
    const QString folder = dir.filePath(QStringLiteral("pics"));
    Store(ProfileNames::kOutputPictureFolder, folder);
    Store(ProfileNames::kOutputName, QStringLiteral("/tmp/x.avi"));
    profile.WriteInt(ProfileNames::kSettings, ProfileNames::kOutputFormat, 7);
    profile.WriteInt(ProfileNames::kSettings, ProfileNames::kJpegQuality, 0);
    profile.WriteInt(ProfileNames::kSettings, ProfileNames::kSamplingInterval, -4);
    profile.WriteInt(ProfileNames::kSettings, ProfileNames::kDeinterlaceMode, 9);
    const ConversionSettings settings = Load();
    EXPECT_EQ(settings.outputFolder, folder + u'/');
    EXPECT_EQ(settings.outputFilePath, QStringLiteral("/tmp/x.avi"));
    // Loading takes these as stored; their users decide what to make of them.
    EXPECT_EQ(settings.outputFormat, 7);
    EXPECT_EQ(settings.jpegQuality, 0);
    EXPECT_EQ(settings.samplingInterval, -4);
    EXPECT_EQ(settings.deinterlaceMode, kDeinterlaceAutomatic); // no build wrote 9
}

TEST_F(SettingsStoreTest, TheRootStandsForADriveRootAndIsNotCreated)
{
    Store(ProfileNames::kOutputPictureFolder, WithoutTrailingBackslash(QStringLiteral("/")));
    EXPECT_EQ(Load().outputFolder, QStringLiteral("/"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SettingsStoreTest, AFolderBelowAMissingParentIsReportedAndKept)
{
    const QString deep = dir.filePath(QStringLiteral("missing/deeper"));
    Store(ProfileNames::kOutputPictureFolder, deep);
    EXPECT_EQ(Load().outputFolder, deep + u'/');
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Can not create the directory"));
    EXPECT_EQ(messages.shown[0].caption, deep + u'/');
    EXPECT_FALSE(QFileInfo::exists(deep));
}

TEST_F(SettingsStoreTest, WithoutKnownFoldersBothDefaultsFallBackToTheHomeFolder)
{
    FakeKnownFolders none{QString()};
    SettingsContext context{profile, none, messages};
    const ConversionSettings settings = LoadConversionSettings(context);
    EXPECT_EQ(settings.outputFilePath, QDir::homePath() + QStringLiteral("/output.avi"));
    EXPECT_EQ(settings.outputFolder, QDir::homePath() + QStringLiteral("/framelift/"));
    EXPECT_EQ(messages.Texts(), QStringList(2, QStringLiteral("Can not get My Video directory!")));
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));
}

TEST(PathRules, TrailingSeparatorRoundTrip)
{
    EXPECT_EQ(WithTrailingBackslash(QStringLiteral("/data/pics")), QStringLiteral("/data/pics/"));
    EXPECT_EQ(WithTrailingBackslash(QStringLiteral("/data/pics/")), QStringLiteral("/data/pics/"));
    EXPECT_EQ(WithoutTrailingBackslash(QStringLiteral("/data/pics/")), QStringLiteral("/data/pics"));
    EXPECT_EQ(WithoutTrailingBackslash(QStringLiteral("/data/pics")), QStringLiteral("/data/pics"));
    // The root is stored empty and comes back as the root.
    EXPECT_EQ(WithTrailingBackslash(WithoutTrailingBackslash(QStringLiteral("/"))), QStringLiteral("/"));
    EXPECT_EQ(FolderPart(QStringLiteral("/videos/clip.mp4")), QStringLiteral("/videos/"));
}

TEST(PathRules, EnsureFolderCreatesOneLevelAndAcceptsExistingFolders)
{
    QTemporaryDir dir;
    RecordingMessageService messages;
    const QString oneLevel = dir.filePath(QStringLiteral("new"));
    EXPECT_TRUE(EnsureFolder(messages, nullptr, oneLevel + u'/'));
    EXPECT_TRUE(QFileInfo(oneLevel).isDir());
    QFile::setPermissions(oneLevel, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(EnsureFolder(messages, nullptr, oneLevel));
    EXPECT_TRUE(EnsureFolder(messages, nullptr, QStringLiteral("/")));
    EXPECT_TRUE(messages.shown.isEmpty());

    const QString file = dir.filePath(QStringLiteral("plain-file"));
    WriteFile(file, "x");
    EXPECT_FALSE(EnsureFolder(messages, nullptr, file));
    EXPECT_FALSE(EnsureFolder(messages, nullptr, dir.filePath(QStringLiteral("a/b"))));
    EXPECT_EQ(messages.Texts(), QStringList(2, QStringLiteral("Can not create the directory")));
    EXPECT_EQ(messages.shown[1].caption, dir.filePath(QStringLiteral("a/b")));
}

TEST(DecimalParsing, UsesAPointAndTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(ParseDecimal(QStringLiteral("29.97")), 29.97);
    EXPECT_DOUBLE_EQ(ParseDecimal(QStringLiteral(" 12.5fps")), 12.5);
    EXPECT_DOUBLE_EQ(ParseDecimal(QStringLiteral("12,5")), 12.0);
    EXPECT_DOUBLE_EQ(ParseDecimal(QStringLiteral("")), 0.0);
    EXPECT_DOUBLE_EQ(ParseDecimal(QStringLiteral("-3")), -3.0);
}

} // namespace
