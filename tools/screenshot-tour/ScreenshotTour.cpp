#include "ScreenshotTour.h"

#include "app/MainWindow.h"
#include "media/PreviewPlayer.h"
#include "media/PreviewWindow.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <functional>

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

// Right-clicks the preview and picks the first item of its menu, Full screen,
// with the keys a user would press.
void ChooseFullScreen(PreviewWindow& preview)
{
    QTimer::singleShot(kSettleMs, &preview, [] {
        QWidget* menu = QApplication::activePopupWidget();
        if (!menu)
            return;
        for (const int key : {Qt::Key_Down, Qt::Key_Return}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &press);
        }
    });
    const QPointF point(preview.width() / 2, preview.height() / 2);
    QMouseEvent release(QEvent::MouseButtonRelease, point, preview.mapToGlobal(point), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&preview, &release);
}

// Converts the clip and saves the main window once its progress shows the
// used time and the time left (or the end, for a quick conversion), then
// stops the conversion and goes on with next.
void SaveWhileConverting(MainWindow& window, const QString& path, std::function<void()> next)
{
    // The progress is what this picture shows, so the main window goes above the preview.
    window.raise();
    window.activateWindow();
    window.OnCommand(kIdConvert);
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&window, path, poll, next] {
        const bool timesShown = window.StatusText().startsWith(QStringLiteral("Please wait"))
                                && !window.Controls().Get<QLabel>(kIdTimeLeftBox)->text().isEmpty();
        if (window.IsConverting() && !timesShown)
            return;
        poll->deleteLater();
        poll->stop();
        window.repaint();
        SaveScreen(window, nullptr, path);
        if (window.IsConverting())
            window.OnCommand(kIdConvert);
        next();
    });
    poll->start(100);
}

// With a clip, the main window beside the preview showing its first frame
// (software drawing under Xvfb takes a few seconds), then the main window
// converting it, then the preview in full screen; then the window closes.
void ShowPreviewAndClose(MainWindow& window, const QDir& out, const QString& clip)
{
    if (clip.isEmpty()) {
        window.close();
        return;
    }
    window.OpenClip(clip);
    QTimer::singleShot(10 * kSettleMs, &window, [&window, out] {
        PreviewWindow* preview = window.Player() ? window.Player()->Window() : nullptr;
        SaveScreen(window, preview, out.filePath(QStringLiteral("preview-window.png")));
        if (!preview) {
            window.close();
            return;
        }
        SaveWhileConverting(window, out.filePath(QStringLiteral("main-window-converting.png")), [&window, out] {
            PreviewWindow* stillOpen = window.Player() ? window.Player()->Window() : nullptr;
            if (!stillOpen) {
                window.close();
                return;
            }
            ChooseFullScreen(*stillOpen);
            QTimer::singleShot(5 * kSettleMs, &window, [&window, out] {
                const QRect screen = QGuiApplication::primaryScreen()->geometry();
                QGuiApplication::primaryScreen()
                    ->grabWindow(0, screen.x(), screen.y(), screen.width(), screen.height())
                    .save(out.filePath(QStringLiteral("preview-full-screen.png")));
                window.close();
            });
        });
    });
}

} // namespace

void StartScreenshotTour(MainWindow& window, const QString& folder, const QString& clip)
{
    QDir().mkpath(folder);
    const QDir out(folder);
    QTimer::singleShot(kSettleMs, &window, [&window, out, clip] {
        SaveScreen(window, nullptr, out.filePath(QStringLiteral("main-window.png")));
        SaveWhenOpen(window, out.filePath(QStringLiteral("popup-menu.png")));
        RightClickSurface(window);
        SaveWhenOpen(window, out.filePath(QStringLiteral("about-box.png")));
        window.OnCommand(kIdAbout);
        SaveWhenOpen(window, out.filePath(QStringLiteral("options-dialog.png")));
        window.OnCommand(kIdOptions);
        ShowPreviewAndClose(window, out, clip);
    });
}
