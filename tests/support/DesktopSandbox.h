#pragma once

#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QList>
#include <QPair>
#include <QTemporaryDir>
#include <QTest>

// A desktop of its own for opening links through the real xdg-open: home,
// data and config folders are empty temporary ones, no desktop environment
// and no browser are named, so the only handlers are those a test
// registers. The environment is restored when the sandbox goes.
class DesktopSandbox {
public:
    DesktopSandbox()
    {
        Set("HOME", dir.path());
        Set("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")));
        Set("XDG_DATA_DIRS", dir.filePath(QStringLiteral("system-data")));
        Set("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")));
        Set("XDG_CONFIG_DIRS", dir.filePath(QStringLiteral("system-config")));
        Set("XDG_CURRENT_DESKTOP", QStringLiteral("X-Generic"));
        // Names no browser, yet keeps xdg-open from trying its list of well-known ones.
        Set("BROWSER", QStringLiteral(":"));
        Set("DBUS_SESSION_BUS_ADDRESS", QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("no-bus")));
        // xdg-open asks the handler registry only when it sees a display.
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            Set("DISPLAY", QStringLiteral(":framelift-sandbox"));
    }
    ~DesktopSandbox()
    {
        for (auto it = saved.crbegin(); it != saved.crend(); ++it) {
            if (it->second.isNull())
                qunsetenv(it->first.constData());
            else
                qputenv(it->first.constData(), it->second);
        }
    }
    DesktopSandbox(const DesktopSandbox&) = delete;
    DesktopSandbox& operator=(const DesktopSandbox&) = delete;

    // Registers, as the default for each MIME type (x-scheme-handler/... for
    // a scheme), a handler that records its arguments and exits with exitCode.
    void RegisterRecorder(const QStringList& mimeTypes, int exitCode = 0)
    {
        const QString recorder = dir.filePath(QStringLiteral("recorder"));
        WriteFile(recorder, QStringLiteral("#!/bin/sh\nprintf '%s|' \"$@\" > '%1.part'\nmv '%1.part' '%1'\nexit %2\n")
                                .arg(RecordPath())
                                .arg(exitCode)
                                .toUtf8());
        QFile::setPermissions(recorder, QFile::ReadOwner | QFile::ExeOwner);
        WriteFile(dir.filePath(QStringLiteral("data/applications/framelift-recorder.desktop")),
                  QStringLiteral("[Desktop Entry]\nType=Application\nName=Recorder\nExec=%1 %u\n").arg(recorder).toUtf8());
        QByteArray defaults = "[Default Applications]\n";
        for (const QString& type : mimeTypes)
            defaults += type.toUtf8() + "=framelift-recorder.desktop\n";
        WriteFile(dir.filePath(QStringLiteral("config/mimeapps.list")), defaults);
    }
    // The arguments the handler was started with, each followed by '|'; empty
    // when it has not run within a generous wait.
    QString WaitForRecorded() const
    {
        const QDeadlineTimer deadline(20000);
        while (!QFile::exists(RecordPath()) && !deadline.hasExpired())
            QTest::qWait(10);
        return QString::fromUtf8(ReadFile(RecordPath()));
    }

private:
    QString RecordPath() const { return dir.filePath(QStringLiteral("recorded")); }
    void Set(const char* name, const QString& value)
    {
        saved.append({QByteArray(name), qgetenv(name)});
        if (!qEnvironmentVariableIsSet(name))
            saved.last().second = QByteArray();
        qputenv(name, value.toUtf8());
    }

    QTemporaryDir dir;
    QList<QPair<QByteArray, QByteArray>> saved; // null value: was not set
};
