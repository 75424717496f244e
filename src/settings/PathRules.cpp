#include "settings/PathRules.h"

#include "platform/ui/MessageService.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString kCannotCreateFolder = QStringLiteral("Can not create the directory");
} // namespace

QString WithTrailingBackslash(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

QString WithoutTrailingBackslash(const QString& path)
{
    return path.endsWith(u'/') ? path.chopped(1) : path;
}

bool EnsureFolder(MessageService& messages, QWidget* owner, const QString& path)
{
    if (path == QStringLiteral("/"))
        return true;
    if (QFileInfo(path).isDir())
        return true;
    if (!path.isEmpty() && QDir().mkdir(path))
        return true;
    messages.Show(owner, kCannotCreateFolder, path);
    return false;
}

QString FolderPart(const QString& path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}
