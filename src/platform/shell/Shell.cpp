#include "platform/shell/Shell.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
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

// Exit codes of xdg-open that name a reason.
constexpr int kOpenerFileMissing = 2;
constexpr int kOpenerNoMethod = 3;

// What the opener's end says, as a launch code. Any other failure means a
// handler was found but could not open the target.
int LaunchCodeOfOpener(QProcess::ExitStatus status, int exitCode)
{
    if (status != QProcess::NormalExit)
        return kLaunchAssociationIncomplete;
    switch (exitCode) {
    case 0: return kLaunchSucceeded;
    case kOpenerFileMissing: return kLaunchFileNotFound;
    case kOpenerNoMethod: return kLaunchNoAssociation;
    default: return kLaunchAssociationIncomplete;
    }
}

// A local file is handed over as a path, a web address whole.
QString OpenerArgument(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded);
}

} // namespace

// The opener may wait for the handler it starts (a browser started for the
// first time runs until closed), so the window never waits for it. It reports
// its outcome once, after its own signal has returned.
void DesktopShell::OpenUrl(const QUrl& url, QObject* receiver, LaunchDone done)
{
    auto* opener = new QProcess;
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->setStandardInputFile(QProcess::nullDevice());
    const auto report = [opener, receiver = QPointer<QObject>(receiver), done](int code) {
        opener->deleteLater();
        if (done && receiver)
            QMetaObject::invokeMethod(receiver, [done, code] { done(code); }, Qt::QueuedConnection);
    };
    QObject::connect(opener, &QProcess::finished, opener, [report](int exitCode, QProcess::ExitStatus status) {
        report(LaunchCodeOfOpener(status, exitCode));
    });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [report](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) // no opener: nothing can open anything
            report(kLaunchNoAssociation);
    });
    opener->start(QStringLiteral("xdg-open"), {OpenerArgument(url)});
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
