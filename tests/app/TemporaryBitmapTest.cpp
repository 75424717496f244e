#include "app/TemporaryBitmap.h"

#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {
const QString kCaption = QStringLiteral("Error");

class TemporaryBitmapTest : public ::testing::Test {
protected:
    QString Expected() const { return folder_.path() + QStringLiteral("/BMP303B.TMP"); }

    QTemporaryDir folder_;
    RecordingMessageService messages_;
    QWidget owner_;
};

TEST_F(TemporaryBitmapTest, FormsTheNameWithoutCreatingTheFile)
{
    EXPECT_EQ(TemporaryBitmapName(messages_, &owner_, kCaption, folder_.path()), Expected());
    EXPECT_FALSE(QFileInfo::exists(Expected()));
    EXPECT_TRUE(messages_.shown.isEmpty());
}

TEST_F(TemporaryBitmapTest, UsesTheSystemTemporaryFolder)
{
    EXPECT_EQ(TemporaryBitmapName(messages_, &owner_, kCaption), QDir(QDir::tempPath()).filePath("BMP303B.TMP"));
}

TEST_F(TemporaryBitmapTest, DeletesAStaleFileQuietly)
{
    WriteFile(Expected(), "stale");
    EXPECT_EQ(TemporaryBitmapName(messages_, &owner_, kCaption, folder_.path()), Expected());
    EXPECT_FALSE(QFileInfo::exists(Expected()));
    EXPECT_TRUE(messages_.shown.isEmpty());
}

TEST_F(TemporaryBitmapTest, ReportsAStaleEntryThatCannotBeDeleted)
{
    WriteFile(Expected() + QStringLiteral("/inside"), "x");
    EXPECT_EQ(TemporaryBitmapName(messages_, &owner_, kCaption, folder_.path()), Expected());
    ASSERT_EQ(messages_.shown.size(), 1);
    EXPECT_EQ(messages_.shown[0].text, QStringLiteral("Can not delete the temporary bitmap filename!"));
    EXPECT_EQ(messages_.shown[0].caption, kCaption);
    EXPECT_EQ(messages_.shown[0].owner, &owner_);
}

TEST_F(TemporaryBitmapTest, ReportsAMissingTemporaryFolder)
{
    for (const QString& folder : {folder_.filePath(QStringLiteral("gone")), QString()}) {
        messages_.shown.clear();
        EXPECT_TRUE(TemporaryBitmapName(messages_, &owner_, kCaption, folder).isEmpty());
        ASSERT_EQ(messages_.shown.size(), 1);
        EXPECT_EQ(messages_.shown[0].text, QStringLiteral("Can not get the temporary bitmap filename!"));
        EXPECT_EQ(messages_.shown[0].caption, kCaption);
    }
}
} // namespace
