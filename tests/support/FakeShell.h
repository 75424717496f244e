#pragma once

#include "platform/shell/Shell.h"

#include <QList>
#include <QUrl>

// Records what the program asked the desktop to open or start and answers
// with the scripted results.
class FakeShell final : public Shell {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };

    int OpenUrl(const QUrl& url) override
    {
        opened.append(url);
        return openResult;
    }
    int StartProgram(const QString& program, const QStringList& arguments) override
    {
        started.append({program, arguments});
        return startResult;
    }
    QString HtmlHandlerCommand() override { return htmlHandler; }

    int openResult = kLaunchSucceeded;
    int startResult = kLaunchSucceeded;
    QString htmlHandler;
    QList<QUrl> opened;
    QList<Start> started;
};
