#include "platform/ui/Choosers.h"
#include "support/ModalWatch.h"

#include <QComboBox>
#include <QFileDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(QtChoosers, TheOpenFileChooserShowsEachFilterNameOnce)
{
    QTemporaryDir dir;
    QStringList names;
    QStringList filters;
    QString preselected;
    const ModalWatch<QFileDialog> watch([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        if (const auto* shown = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            for (int i = 0; i < shown->count(); ++i)
                names.append(shown->itemText(i));
            preselected = shown->currentText();
        }
    });
    const QString anyFiles = QStringLiteral("Any Files (*.*) (*)");
    const QString videoFiles = QStringLiteral("Video Files (*.mpg;*.avi) (*.mpg *.avi)");
    const auto chosen = QtChoosers().ChooseOpenFile(nullptr, QStringLiteral("Open a video file"), dir.path(),
                                                    anyFiles + QStringLiteral(";;") + videoFiles, videoFiles);
    EXPECT_FALSE(chosen.has_value());
    EXPECT_EQ(filters, (QStringList{anyFiles, videoFiles}));
    EXPECT_EQ(names, (QStringList{QStringLiteral("Any Files (*.*)"), QStringLiteral("Video Files (*.mpg;*.avi)")}));
    EXPECT_EQ(preselected, QStringLiteral("Video Files (*.mpg;*.avi)"));
}

} // namespace
