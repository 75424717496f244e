#include "platform/profile/Profile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Quenlar/framelift.ini"));
};

TEST_F(ProfileTest, LivesUnderTheMakerInTheXdgConfigFolder)
{
    EXPECT_EQ(Profile::DefaultPath(QStringLiteral("Quenlar"), QStringLiteral("framelift")),
              QString::fromUtf8(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/Quenlar/framelift.ini"));
}

TEST_F(ProfileTest, IntegersAreSigned32BitAndTextsKeepTheirCommas)
{
    {
        Profile profile(path);
        profile.WriteInt(QStringLiteral("DexVideoCompress"), QStringLiteral("CompressorNumber"), -1);
        profile.WriteInt(QStringLiteral("Settings"), QStringLiteral("OutputWidth"), 2147483647);
        profile.WriteText(QStringLiteral("Settings"), QStringLiteral("OutputName"), QStringLiteral("/a, b/c=d;e"));
    }
    Profile reread(path);
    EXPECT_EQ(reread.GetInt(QStringLiteral("DexVideoCompress"), QStringLiteral("CompressorNumber"), -2), -1);
    EXPECT_EQ(reread.GetInt(QStringLiteral("Settings"), QStringLiteral("OutputWidth"), 0), 2147483647);
    EXPECT_EQ(reread.GetText(QStringLiteral("Settings"), QStringLiteral("OutputName"), {}),
              QStringLiteral("/a, b/c=d;e"));
}

TEST_F(ProfileTest, ValuesThatAreNotNumbersReadAsTheDefault)
{
    WriteFile(path, "[Settings]\nnOuptputFormat=abc\nOutputWidth=99999999999\nOutputHigh=4294967295\n"
                    "nCurrentJpegQuality= 75 \nOutputName=one, two\n");
    const Profile profile(path);
    EXPECT_EQ(profile.GetInt(QStringLiteral("Settings"), QStringLiteral("nOuptputFormat"), 3), 3);
    EXPECT_EQ(profile.GetInt(QStringLiteral("Settings"), QStringLiteral("OutputWidth"), 7), 7);
    // All 32 bits set, as another writer may store -1.
    EXPECT_EQ(profile.GetInt(QStringLiteral("Settings"), QStringLiteral("OutputHigh"), 7), -1);
    EXPECT_EQ(profile.GetInt(QStringLiteral("Settings"), QStringLiteral("nCurrentJpegQuality"), 80), 75);
    // An unquoted text with commas, as a hand edit leaves it, still reads as one text.
    EXPECT_EQ(profile.GetText(QStringLiteral("Settings"), QStringLiteral("OutputName"), {}), QStringLiteral("one, two"));
}

TEST_F(ProfileTest, TypedValuesReadAsAbsentWithoutBeingDecoded)
{
    // The first claims a list of four thousand million texts.
    WriteFile(path, "[Settings]\n"
                    "nOuptputFormat=@Variant(\\0\\0\\0\\v\\0\\xff\\xff\\xff\\xff)\n"
                    "OutputWidth=@Size(64 48)\n"
                    "OutputName=@ByteArray(/tmp/x.avi)\n"
                    "OutputPictureFolder=@@home\n"
                    "CurrentLanguage=@home)\n");
    const Profile profile(path);
    const QString settings = QStringLiteral("Settings");
    EXPECT_EQ(profile.GetInt(settings, QStringLiteral("nOuptputFormat"), 3), 3);
    EXPECT_EQ(profile.GetText(settings, QStringLiteral("nOuptputFormat"), QStringLiteral("none")), QStringLiteral("none"));
    EXPECT_EQ(profile.GetInt(settings, QStringLiteral("OutputWidth"), 7), 7);
    EXPECT_EQ(profile.GetText(settings, QStringLiteral("OutputName"), {}), QStringLiteral("/tmp/x.avi"));
    EXPECT_EQ(profile.GetText(settings, QStringLiteral("OutputPictureFolder"), {}), QStringLiteral("@home"));
    EXPECT_EQ(profile.GetText(settings, QStringLiteral("CurrentLanguage"), {}), QStringLiteral("@home)"));
}

// Qt's own INI reader and writer judge the file: what one writes the other reads back.
TEST_F(ProfileTest, TextsKeepEveryCharacterBetweenTheProfileAndQtsIniFiles)
{
    const QString section = QString::fromUtf8("Fran\xc3\xa7" "ais 2/x");
    const QStringList texts = {QStringLiteral("/a, b/c=d;e"),
                               QStringLiteral(" padded "),
                               QStringLiteral("@at the start"),
                               QStringLiteral("quote \" and back\\slash"),
                               QStringLiteral("tab\tline\nend\x01" "abc"),
                               QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\x9e"),
                               QString()};
    const QString byQt = dir.filePath(QStringLiteral("qt.ini"));
    {
        QSettings qt(byQt, QSettings::IniFormat);
        Profile profile(path);
        for (int i = 0; i < texts.size(); ++i) {
            qt.setValue(section + QStringLiteral("/key ") + QString::number(i), texts[i]);
            profile.WriteText(section, QStringLiteral("key ") + QString::number(i), texts[i]);
        }
    }
    // Each reads the other's file, under a name of its own so that neither sees a parsed copy.
    const QString forProfile = dir.filePath(QStringLiteral("for-profile.ini"));
    const QString forQt = dir.filePath(QStringLiteral("for-qt.ini"));
    WriteFile(forProfile, ReadFile(byQt));
    WriteFile(forQt, ReadFile(path));
    const Profile profile(forProfile);
    QSettings qt(forQt, QSettings::IniFormat);
    for (int i = 0; i < texts.size(); ++i) {
        const QString key = QStringLiteral("key ") + QString::number(i);
        EXPECT_EQ(profile.GetText(section, key, QStringLiteral("absent")), texts[i]) << i;
        EXPECT_EQ(qt.value(section + u'/' + key).toString(), texts[i]) << i;
    }
    EXPECT_EQ(qt.status(), QSettings::NoError);
}

TEST_F(ProfileTest, AGarbageFileYieldsDefaultsAndCanBeWrittenAgain)
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) % 256));
    WriteFile(path, garbage);
    Profile profile(path);
    EXPECT_EQ(profile.GetInt(QStringLiteral("Settings"), QStringLiteral("OutputWidth"), 5), 5);
    EXPECT_EQ(profile.GetText(QStringLiteral("Option"), QStringLiteral("CurrentLanguage"), QStringLiteral("english")),
              QStringLiteral("english"));
    profile.WriteInt(QStringLiteral("Settings"), QStringLiteral("OutputWidth"), 640);
    EXPECT_EQ(Profile(path).GetInt(QStringLiteral("Settings"), QStringLiteral("OutputWidth"), 0), 640);
}

TEST_F(ProfileTest, TwoWritersOfOneFileKeepEachOthersValues)
{
    Profile first(path);
    Profile second(path);
    for (int i = 0; i < 20; ++i) {
        first.WriteInt(QStringLiteral("Settings"), QStringLiteral("OutputWidth"), i);
        second.WriteInt(QStringLiteral("Settings"), QStringLiteral("OutputHigh"), 100 + i);
    }
    second.WriteText(QStringLiteral("Option"), QStringLiteral("CurrentLanguage"), QStringLiteral("French"));
    const Profile reader(path);
    EXPECT_EQ(reader.GetInt(QStringLiteral("Settings"), QStringLiteral("OutputWidth"), -5), 19);
    EXPECT_EQ(reader.GetInt(QStringLiteral("Settings"), QStringLiteral("OutputHigh"), -5), 119);
    EXPECT_EQ(first.GetText(QStringLiteral("Option"), QStringLiteral("CurrentLanguage"), {}), QStringLiteral("French"));
}

TEST_F(ProfileTest, EveryWriteReachesTheFileAtOnce)
{
    Profile profile(path);
    profile.WriteInt(QStringLiteral("Settings"), QStringLiteral("n_Sampling_interval"), 12);
    const QByteArray onDisk = ReadFile(path);
    EXPECT_TRUE(onDisk.contains("[Settings]")) << onDisk.toStdString();
    EXPECT_TRUE(onDisk.contains("n_Sampling_interval=12")) << onDisk.toStdString();
}

} // namespace
