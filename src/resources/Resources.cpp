#include "resources/Resources.h"

#include <QFile>

// Qt's resource initialiser must be called outside any namespace.
static void InitFrameliftResources()
{
    Q_INIT_RESOURCE(framelift);
}

namespace {

constexpr QPoint kButtonCursorHotSpot{9, 1}; // the finger tip of cursors/141.png

// The resources live in this static library; nothing else refers to them, so
// they are registered on first use rather than by a static initialiser the
// linker could drop.
QString ResourcePath(const char* folder, int id, const char* extension)
{
    static const bool registered = (InitFrameliftResources(), true);
    Q_UNUSED(registered);
    return QStringLiteral(":/framelift/%1/%2.%3").arg(QLatin1String(folder)).arg(id).arg(QLatin1String(extension));
}

} // namespace

QString ResourceText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPixmap LoadIconPixmap(int id)
{
    return QPixmap(ResourcePath("icons", id, "png"));
}

QIcon LoadIconResource(int id)
{
    const QPixmap pixmap = LoadIconPixmap(id);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QPixmap LoadBitmapResource(int id)
{
    return QPixmap(ResourcePath("bitmaps", id, "png"));
}

std::optional<QCursor> LoadCursorResource(int id)
{
    const QPixmap pixmap(ResourcePath("cursors", id, "png"));
    if (pixmap.isNull())
        return std::nullopt;
    return QCursor(pixmap, kButtonCursorHotSpot.x(), kButtonCursorHotSpot.y());
}

QByteArray LoadWaveResource(int id)
{
    QFile file(ResourcePath("sounds", id, "wav"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
