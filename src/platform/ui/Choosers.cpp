#include "platform/ui/Choosers.h"

#include <QFileDialog>
#include <QFontDialog>

std::optional<QString> QtChoosers::ChooseOpenFile(QWidget* owner, const QString& caption, const QString& directory,
                                                  const QString& filter, const QString& selectedFilter)
{
    QString selected = selectedFilter;
    // Each filter's label already reads as the user should see it; the
    // patterns after it are for matching only.
    const QString path = QFileDialog::getOpenFileName(owner, caption, directory, filter, &selected,
                                                      QFileDialog::HideNameFilterDetails);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtChoosers::ChooseFolder(QWidget* owner, const QString& caption, const QString& startFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(owner, caption, startFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<QFont> QtChoosers::ChooseFont(QWidget* owner, const QFont& initial)
{
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, initial, owner);
    if (!accepted)
        return std::nullopt;
    return font;
}
