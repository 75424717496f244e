#pragma once

#include "platform/shell/Shell.h"

#include <QList>
#include <QObject>
#include <QUrl>

// Records what the program asked the desktop to open or start and answers
// with the scripted results; the answers come, as the desktop's do, from
// the event loop after the call has returned.
class FakeShell final : public Shell {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };

    void OpenUrl(const QUrl& url, QObject* receiver, LaunchDone done) override
    {
        opened.append(url);
        if (done)
            QMetaObject::invokeMethod(receiver, [done, code = openResult] { done(code); }, Qt::QueuedConnection);
    }
    int StartProgram(const QString& program, const QStringList& arguments) override
    {
        started.append({program, arguments});
        return startResult;
    }
    void FindHtmlHandler(QObject* receiver, HandlerFound found) override
    {
        QMetaObject::invokeMethod(receiver, [found, command = htmlHandler] { found(command); }, Qt::QueuedConnection);
    }

    int openResult = kLaunchSucceeded;
    int startResult = kLaunchSucceeded;
    QString htmlHandler;
    QList<QUrl> opened;
    QList<Start> started;
};
