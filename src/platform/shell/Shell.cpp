#include "platform/shell/Shell.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace {

// How a process started by RunWithoutWaiting ended.
struct ProcessEnd {
    bool started = false;
    bool exitedNormally = false; // false also when it did not start
    int exitCode = 0;
    QByteArray output; // its standard output, when captured
};
using ProcessEnded = std::function<void(const ProcessEnd&)>;

// Starts program and returns at once: ended gets how it ended, from the event
// loop after the process's own signal has returned, unless receiver is gone
// by then. The process writes its messages, and its output unless captured,
// where the program writes its own.
void RunWithoutWaiting(const QString& program, const QStringList& arguments, bool captureOutput, QObject* receiver,
                       ProcessEnded ended)
{
    auto* process = new QProcess;
    process->setProcessChannelMode(captureOutput ? QProcess::ForwardedErrorChannel : QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    const auto report = [process, receiver = QPointer<QObject>(receiver), ended](const ProcessEnd& end) {
        process->deleteLater();
        if (receiver)
            QMetaObject::invokeMethod(receiver, [ended, end] { ended(end); }, Qt::QueuedConnection);
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, report](int exitCode, QProcess::ExitStatus status) {
                         report({true, status == QProcess::NormalExit, exitCode, process->readAllStandardOutput()});
                     });
    QObject::connect(process, &QProcess::errorOccurred, process, [report](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            report({});
    });
    process->start(program, arguments);
}

// Exit codes of xdg-open that name a reason.
constexpr int kOpenerFileMissing = 2;
constexpr int kOpenerNoMethod = 3;

// What the opener's end says, as a launch code. Any other failure means a
// handler was found but could not open the target.
int LaunchCodeOfOpener(const ProcessEnd& end)
{
    if (!end.started) // no opener: nothing can open anything
        return kLaunchNoAssociation;
    if (!end.exitedNormally)
        return kLaunchAssociationIncomplete;
    switch (end.exitCode) {
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

// The command line of the desktop entry a query of xdg-mime named, e.g. "firefox.desktop".
QString CommandOfEntry(const ProcessEnd& query)
{
    const QString entry = QString::fromLocal8Bit(query.output).trimmed();
    if (!query.exitedNormally || query.exitCode != 0 || entry.isEmpty())
        return {};
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
    return path.isEmpty() ? QString() : ExecOfEntry(path);
}

} // namespace

// The opener may wait for the handler it starts (a browser started for the
// first time runs until closed), so the window never waits for it.
void DesktopShell::OpenUrl(const QUrl& url, QObject* receiver, LaunchDone done)
{
    RunWithoutWaiting(QStringLiteral("xdg-open"), {OpenerArgument(url)}, false, receiver,
                      [done](const ProcessEnd& end) {
                          if (done)
                              done(LaunchCodeOfOpener(end));
                      });
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

void DesktopShell::FindHtmlHandler(QObject* receiver, HandlerFound found)
{
    const QStringList query{QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")};
    RunWithoutWaiting(QStringLiteral("xdg-mime"), query, true, receiver,
                      [found](const ProcessEnd& end) { found(CommandOfEntry(end)); });
}
