#pragma once

#include <QString>
#include <QStringList>

class QUrl;

// Results of a launch, in the codes the program's launch messages are keyed
// by: above 32 is success, the others name the reason.
inline constexpr int kLaunchSucceeded = 33;
inline constexpr int kLaunchOutOfResources = 0;
inline constexpr int kLaunchFileNotFound = 2;
inline constexpr int kLaunchAccessDenied = 5;
inline constexpr int kLaunchNoAssociation = 31;

// Opening documents and starting programs through the desktop. Tests replace
// it with a fake that records the calls and fails on demand.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a web address or a local file (file: URL) with the desktop's handler.
    // kLaunchSucceeded, or kLaunchNoAssociation when no handler took it.
    virtual int OpenUrl(const QUrl& url) = 0;
    // Starts program with an argument vector, detached; never through a shell.
    virtual int StartProgram(const QString& program, const QStringList& arguments) = 0;
    // The command line (Exec of its desktop entry) of the desktop's default
    // handler for HTML pages; empty when none is registered.
    virtual QString HtmlHandlerCommand() = 0;
};

// QDesktopServices, QProcess::startDetached and xdg-mime.
class DesktopShell final : public Shell {
public:
    int OpenUrl(const QUrl& url) override;
    int StartProgram(const QString& program, const QStringList& arguments) override;
    QString HtmlHandlerCommand() override;
};
