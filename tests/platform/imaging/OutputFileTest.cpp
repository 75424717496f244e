#include "platform/imaging/OutputFile.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

// What stands under the picture's name before the picture is placed there.
struct PlacementCase {
    const char* name;
    std::function<void(const QString& path)> make; // empty: nothing
    OutputFile::Placement expected;
};

class OutputFilePlacement : public ::testing::TestWithParam<PlacementCase> {
protected:
    QString Path(const QString& name) const { return folder_.filePath(name); }
    // Every name in the folder, hidden ones included, sorted and joined.
    std::string Entries(const QString& added = {}) const
    {
        QStringList names =
            QDir(folder_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (!added.isEmpty())
            names.removeOne(added);
        names.sort();
        return names.join(u' ').toStdString();
    }

    QTemporaryDir folder_;
};

// The picture is complete before it has its name, and whatever holds the
// name already stays as it was: a file, a folder, even a link to nowhere,
// through which nothing is written.
TEST_P(OutputFilePlacement, TakesOnlyAFreeNameAndLeavesNoTemporaryFile)
{
    const QString path = Path(QStringLiteral("capture.png"));
    if (GetParam().make)
        GetParam().make(path);
    const std::string before = Entries();
    {
        OutputFile file(path);
        ASSERT_TRUE(file.IsOpen()) << file.ErrorText().toStdString();
        const QFileInfo temporary(file.TemporaryPath());
        EXPECT_EQ(temporary.absolutePath(), QFileInfo(path).absolutePath());
        EXPECT_TRUE(temporary.fileName().startsWith(QStringLiteral(".framelift-"))) << temporary.fileName().toStdString();
        EXPECT_TRUE(temporary.fileName().endsWith(QStringLiteral(".part"))) << temporary.fileName().toStdString();
        ASSERT_TRUE(file.Write("picture", 7));
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(Entries(temporary.fileName()), before);
        EXPECT_TRUE(QFileInfo::exists(file.TemporaryPath()));
        EXPECT_EQ(file.PlaceAs(path), GetParam().expected);
    }
    if (GetParam().expected == OutputFile::Placement::Placed) {
        EXPECT_EQ(ReadFile(path), "picture");
        EXPECT_EQ(Entries(), "capture.png");
    } else {
        EXPECT_EQ(Entries(), before);
    }
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("elsewhere"))));
}

INSTANTIATE_TEST_SUITE_P(
    Names, OutputFilePlacement,
    ::testing::Values(
        PlacementCase{"Free", {}, OutputFile::Placement::Placed},
        PlacementCase{"AFile", [](const QString& path) { WriteFile(path, "an earlier picture"); },
                      OutputFile::Placement::NameTaken},
        PlacementCase{"AFolder", [](const QString& path) { QDir().mkpath(path); }, OutputFile::Placement::NameTaken},
        PlacementCase{"ALinkToNowhere",
                      [](const QString& path) {
                          QFile::link(QFileInfo(path).absolutePath() + QStringLiteral("/elsewhere"), path);
                      },
                      OutputFile::Placement::NameTaken}),
    [](const ::testing::TestParamInfo<PlacementCase>& param) { return std::string(param.param.name); });

} // namespace
