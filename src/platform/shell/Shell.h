#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QObject;
class QUrl;

// Results of a launch, in the codes the program's launch messages are keyed
// by: above 32 is success, the others name the reason.
inline constexpr int kLaunchSucceeded = 33;
inline constexpr int kLaunchOutOfResources = 0;
inline constexpr int kLaunchFileNotFound = 2;
inline constexpr int kLaunchAccessDenied = 5;
inline constexpr int kLaunchAssociationIncomplete = 27;
inline constexpr int kLaunchNoAssociation = 31;

inline constexpr bool Launched(int code)
{
    return code > 32;
}

// Told the launch code once an opening has an outcome.
using LaunchDone = std::function<void(int code)>;
// Told the command line of a handler, empty when there is none.
using HandlerFound = std::function<void(const QString& command)>;

// Opening documents and starting programs through the desktop. Tests replace
// it with a fake that records the calls and fails on demand.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a web address or a local file (file: URL) with the desktop's
    // handler and returns at once: whether a handler took it is known only
    // when the desktop's opener has finished, which may take a while. done
    // then runs on the user-interface thread, unless receiver is gone by then.
    virtual void OpenUrl(const QUrl& url, QObject* receiver, LaunchDone done) = 0;
    // Starts program with an argument vector, detached; never through a shell.
    virtual int StartProgram(const QString& program, const QStringList& arguments) = 0;
    // Looks up the command line (Exec of its desktop entry) of the desktop's
    // default handler for HTML pages and returns at once; found gets it, as
    // OpenUrl's done gets its code.
    virtual void FindHtmlHandler(QObject* receiver, HandlerFound found) = 0;
};

// xdg-open, QProcess::startDetached and xdg-mime.
class DesktopShell final : public Shell {
public:
    void OpenUrl(const QUrl& url, QObject* receiver, LaunchDone done) override;
    int StartProgram(const QString& program, const QStringList& arguments) override;
    void FindHtmlHandler(QObject* receiver, HandlerFound found) override;
};
