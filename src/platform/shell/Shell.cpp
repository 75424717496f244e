#include "platform/shell/Shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace {

constexpr int kQueryTimeoutMs = 3000;

// The desktop entry's id of the default text/html handler, e.g. "firefox.desktop".
QString DefaultHtmlEntry()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("text/html")});
    if (!query.waitForFinished(kQueryTimeoutMs) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

// The Exec key of the [Desktop Entry] group of a desktop file.
QString ExecOfEntry(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    bool inMainGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
        else if (inMainGroup && line.startsWith(QStringLiteral("Exec=")))
            return line.mid(5).trimmed();
    }
    return {};
}

} // namespace

int DesktopShell::OpenUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url) ? kLaunchSucceeded : kLaunchNoAssociation;
}

int DesktopShell::StartProgram(const QString& program, const QStringList& arguments)
{
    const QString path = QFileInfo(program).isAbsolute() ? program : QStandardPaths::findExecutable(program);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return kLaunchFileNotFound;
    if (!info.isExecutable())
        return kLaunchAccessDenied;
    return QProcess::startDetached(path, arguments) ? kLaunchSucceeded : kLaunchOutOfResources;
}

QString DesktopShell::HtmlHandlerCommand()
{
    const QString entry = DefaultHtmlEntry();
    if (entry.isEmpty())
        return {};
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
    return path.isEmpty() ? QString() : ExecOfEntry(path);
}
