#include "controls/LinkLaunch.h"

#include "platform/shell/Shell.h"
#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/MessageService.h"

#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include <array>
#include <utility>

namespace {

const QString kLaunchErrorIntro = QStringLiteral("Unable to open hyperlink:\n\n");

// Reasons by launch code; the codes are those of the shell's open operation.
const std::array<std::pair<int, const char*>, 13> kLaunchReasons = {{
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
}};

// The desktop's handler for HTML pages (its command line) started with
// target; without one, the code of the failed open stands.
int StartHtmlHandler(Shell& shell, const QString& command, const QString& target, int failedOpen)
{
    QStringList words = QProcess::splitCommand(CutAtFieldCode(command));
    if (words.isEmpty())
        return failedOpen;
    const QString program = words.takeFirst();
    words.append(target);
    return shell.StartProgram(program, words);
}

} // namespace

QString CutAtFieldCode(const QString& command)
{
    qsizetype cut = command.indexOf(QStringLiteral("\"%1\""));
    if (cut < 0)
        cut = command.indexOf(QStringLiteral("%1"));
    if (cut < 0) {
        static const QRegularExpression fieldCode(QStringLiteral("\"?%[uUfF]\"?"));
        cut = command.indexOf(fieldCode);
    }
    return cut < 0 ? command : command.left(cut);
}

void LaunchTarget(Shell& shell, const QString& target, QObject* receiver, LaunchDone done)
{
    shell.OpenUrl(QUrl::fromUserInput(target), receiver, [&shell, target, receiver, done](int opened) {
        if (Launched(opened)) {
            done(opened);
            return;
        }
        shell.FindHtmlHandler(receiver, [&shell, target, done, opened](const QString& command) {
            done(StartHtmlHandler(shell, command, target, opened));
        });
    });
}

QString LaunchErrorText(int code)
{
    for (const auto& [known, reason] : kLaunchReasons)
        if (known == code)
            return kLaunchErrorIntro + QString::fromLatin1(reason);
    return kLaunchErrorIntro + QStringLiteral("Unknown Error (%1) occurred.").arg(code);
}

void ShowLaunchError(MessageService& messages, QWidget* owner, int code)
{
    messages.Show(owner, LaunchErrorText(code), ApplicationTitle(), MessageButtons::Ok, MessageIcon::Warning);
}
