#include "platform/shell/KnownFolders.h"

#include <QDir>
#include <QStandardPaths>

std::optional<QString> XdgKnownFolders::Locate(KnownFolder folder)
{
    const auto location = folder == KnownFolder::Videos ? QStandardPaths::MoviesLocation
                                                        : QStandardPaths::PicturesLocation;
    const QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty())
        return std::nullopt;
    // On a fresh account the XDG folders may not exist yet; a first start must not fail for that.
    if (!QDir().mkpath(path))
        return std::nullopt;
    return QDir::cleanPath(path);
}
