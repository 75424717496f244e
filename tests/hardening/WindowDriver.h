#pragma once

#include "app/MainWindow.h"
#include "support/FakeAppServices.h"

#include <QString>
#include <QStringList>

#include <memory>

// The real main window on real media libraries, driven the way a user would:
// choose a file, Convert, wait. Every wait is bounded, so a hang fails.
class WindowDriver {
public:
    // An empty folder name picks a folder inside the driver's temporary folder.
    explicit WindowDriver(const QString& outputFolder = QString());
    ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    // True when the main window accepted the file and made its preview.
    bool Open(const QString& clip);
    // Starts the conversion; true when it is running.
    bool StartConversion();
    // False when the conversion is still running after the time allowed.
    bool WaitForEnd(int milliseconds = 30000);
    QStringList Pictures() const;
    QString MessageTexts() const { return fake.messages.Texts().join(u'|'); }

    FakeAppServices fake;
    QString outputFolder;
    std::unique_ptr<MainWindow> window;
};

// True when the ffmpeg program decodes the picture without a complaint.
bool DecodesCleanly(const QString& picture, QByteArray* complaint);
