#include "app/ConversionPresenter.h"
#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConvertChecksTest : public ::testing::Test {
protected:
    ConvertChecksTest()
    {
        request.clip = {1, 1, QStringLiteral("/c.mp4"), 0, 20'000'000, 25.0};
        request.settings.frameRate = 25.0;
        request.settings.outputFilePath = dir.filePath(QStringLiteral("output.avi"));
    }

    QTemporaryDir dir;
    Profile profile{dir.filePath(QStringLiteral("p.ini"))};
    RecordingMessageService messages;
    LanguagePack language{profile, messages};
    ConversionPresenter presenter{messages, language, nullptr};
    ConversionRequest request;
};

TEST_F(ConvertChecksTest, TheChecksRunInOrderAndEachEndsTheCommand)
{
    ConversionRequest none = request;
    none.clip.videoItemCount = 0;
    none.clip.markEnd = 0;
    EXPECT_FALSE(presenter.Checked(none));
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Open a video file")});
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));

    ConversionRequest equal = request;
    equal.clip.markEnd = equal.clip.markStart;
    EXPECT_FALSE(presenter.Checked(equal));
    EXPECT_EQ(messages.Texts().last(), QStringLiteral("The End Time must be bigger than the Start Time"));
    EXPECT_EQ(messages.shown.last().caption, QStringLiteral("test_app"));
    EXPECT_TRUE(presenter.Checked(request));
    EXPECT_EQ(messages.shown.size(), 2);
}

TEST_F(ConvertChecksTest, AnExistingOutputFileIsKeptOnNoAndDeletedOnYes)
{
    WriteFile(request.settings.outputFilePath, "old");
    messages.answers = {MessageAnswer::No};
    EXPECT_FALSE(presenter.Checked(request));
    EXPECT_TRUE(QFileInfo::exists(request.settings.outputFilePath));
    EXPECT_EQ(messages.shown[0].text,
              request.settings.outputFilePath + QStringLiteral(" exists. Do you want to replace it?"));
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Warning"));
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);

    messages.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(presenter.Checked(request));
    EXPECT_FALSE(QFileInfo::exists(request.settings.outputFilePath));
}

TEST_F(ConvertChecksTest, AnImplausibleClipRateIsQuestionedOnlyForTheOriginalRate)
{
    request.clip.sourceFrameRate = 1000.0;
    request.settings.frameRateIndex = 0;
    request.settings.frameRate = 1000.0;
    messages.answers = {MessageAnswer::Yes, MessageAnswer::No};
    const auto yes = presenter.Checked(request);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("The output frame rate is 1000.000000.The value")));
    ASSERT_TRUE(yes);
    EXPECT_DOUBLE_EQ(yes->settings.frameRate, 23.976);
    // The answer holds for that conversion only: the next one asks again.
    const auto no = presenter.Checked(request);
    ASSERT_EQ(messages.shown.size(), 2);
    ASSERT_TRUE(no);
    EXPECT_DOUBLE_EQ(no->settings.frameRate, 1000.0);

    request.settings.frameRateIndex = 2;
    messages.shown.clear();
    EXPECT_TRUE(presenter.Checked(request));
    EXPECT_TRUE(messages.shown.isEmpty());
}

} // namespace
