// The Convert button's two labels in the shipped French translation, through
// a real conversion of a generated clip.
#include "app/MainWindow.h"
#include "settings/ProfileNames.h"
#include "support/FakeAppServices.h"
#include "support/TestClips.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(ConvertButtonLanguageTest, FrenchReadsArretWhileConvertingAndConvertirAfter)
{
    FakeAppServices fake;
    ASSERT_TRUE(QDir().mkpath(fake.LanguageFolder()));
    ASSERT_TRUE(QFile::copy(QStringLiteral(FRAMELIFT_SOURCE_DIR "/language/French.ini"),
                            fake.LanguageFolder() + QStringLiteral("/French.ini")));
    ASSERT_EQ(fake.language.Init(fake.dir.path(), QStringLiteral("French")), 1);
    fake.profile.WriteText(ProfileNames::kSettings, ProfileNames::kOutputPictureFolder,
                           fake.dir.filePath(QStringLiteral("pictures")));
    fake.profile.WriteText(ProfileNames::kSettings, ProfileNames::kOutputName,
                           fake.dir.filePath(QStringLiteral("output.avi")));
    MainWindow window(fake.services);
    const auto* convert = window.Controls().Get<QAbstractButton>(kIdConvert);
    EXPECT_EQ(convert->text(), QStringLiteral("Convertir"));

    fake.choosers.files = {TestClip(clips::LongerMp4())};
    window.OnCommand(kIdOpenVideo);
    window.OnCommand(kIdConvert);
    ASSERT_TRUE(window.IsConverting()) << fake.messages.Texts().join(u'|').toStdString();
    EXPECT_EQ(convert->text(), QStringLiteral("Arrêt"));

    QDeadlineTimer deadline(60000);
    while (window.IsConverting() && !deadline.hasExpired())
        QTest::qWait(20);
    ASSERT_FALSE(window.IsConverting());
    EXPECT_EQ(convert->text(), QStringLiteral("Convertir"));
    EXPECT_TRUE(fake.messages.shown.isEmpty()) << fake.messages.Texts().join(u'|').toStdString();
}

} // namespace
