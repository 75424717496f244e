#include "app/TemporaryBitmap.h"

#include "platform/ui/MessageService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString kCannotGetName = QStringLiteral("Can not get the temporary bitmap filename!");
const QString kCannotDelete = QStringLiteral("Can not delete the temporary bitmap filename!");
const QString kPrefix = QStringLiteral("BMP");
constexpr unsigned kUniqueNumber = 12347;

// GetTempFileName's form: folder, prefix, the number as four upper-case hex digits, ".TMP".
QString FormName(const QString& folder)
{
    const QString number = QStringLiteral("%1").arg(kUniqueNumber, 4, 16, QLatin1Char('0')).toUpper();
    return QDir(folder).filePath(kPrefix + number + QStringLiteral(".TMP"));
}
} // namespace

QString TemporaryBitmapName(MessageService& messages, QWidget* owner, const QString& caption,
                            const QString& temporaryFolder)
{
    if (temporaryFolder.isEmpty() || !QFileInfo(temporaryFolder).isDir()) {
        messages.Show(owner, kCannotGetName, caption);
        return {};
    }
    const QString name = FormName(temporaryFolder);
    if (QFileInfo::exists(name) && !QFile::remove(name))
        messages.Show(owner, kCannotDelete, caption);
    return name;
}

QString TemporaryBitmapName(MessageService& messages, QWidget* owner, const QString& caption)
{
    return TemporaryBitmapName(messages, owner, caption, QDir::tempPath());
}
