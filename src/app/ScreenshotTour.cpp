#include "app/ScreenshotTour.h"

#include "app/MainWindow.h"
#include "media/PreviewPlayer.h"
#include "media/PreviewWindow.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int kSettleMs = 600;

// The screen around the window and whatever it opened, so a popup shows over its window.
void SaveScreen(const MainWindow& window, const QWidget* opened, const QString& path)
{
    QRect area = window.frameGeometry();
    if (opened)
        area = area.united(opened->frameGeometry());
    QScreen* screen = QGuiApplication::primaryScreen();
    screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(path);
}

// Saves the screen and closes the popup or modal window when it has shown.
void SaveWhenOpen(MainWindow& window, const QString& path)
{
    QTimer::singleShot(kSettleMs, &window, [&window, path] {
        QWidget* opened = QApplication::activePopupWidget();
        if (!opened)
            opened = QApplication::activeModalWidget() != &window ? QApplication::activeModalWidget() : nullptr;
        SaveScreen(window, opened, path);
        if (opened)
            opened->close();
    });
}

void RightClickSurface(MainWindow& window)
{
    const QPointF point(4, window.height() / 2);
    QMouseEvent release(QEvent::MouseButtonRelease, point, window.mapToGlobal(point), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &release);
}

// With a clip named in FRAMELIFT_SCREENSHOT_CLIP, the main window beside the
// preview showing its first frame (software drawing under Xvfb takes a few
// seconds); then the window closes.
void ShowPreviewAndClose(MainWindow& window, const QString& path)
{
    const QString clip = qEnvironmentVariable("FRAMELIFT_SCREENSHOT_CLIP");
    if (clip.isEmpty()) {
        window.close();
        return;
    }
    window.OpenClip(clip);
    QTimer::singleShot(10 * kSettleMs, &window, [&window, path] {
        SaveScreen(window, window.Player() ? window.Player()->Window() : nullptr, path);
        window.close();
    });
}

} // namespace

QString ScreenshotFolder()
{
    return qEnvironmentVariable("FRAMELIFT_SCREENSHOT_DIR");
}

void StartScreenshotTour(MainWindow& window, const QString& folder)
{
    QDir().mkpath(folder);
    const QDir out(folder);
    QTimer::singleShot(kSettleMs, &window, [&window, out] {
        SaveScreen(window, nullptr, out.filePath(QStringLiteral("main-window.png")));
        SaveWhenOpen(window, out.filePath(QStringLiteral("popup-menu.png")));
        RightClickSurface(window);
        SaveWhenOpen(window, out.filePath(QStringLiteral("about-box.png")));
        window.OnCommand(kIdAbout);
        SaveWhenOpen(window, out.filePath(QStringLiteral("options-dialog.png")));
        window.OnCommand(kIdOptions);
        ShowPreviewAndClose(window, out.filePath(QStringLiteral("preview-window.png")));
    });
}
