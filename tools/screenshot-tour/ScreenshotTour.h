#pragma once

#include <QString>

class MainWindow;

// For the documentation: once the window shows, saves main-window.png, then
// opens the right-click popup and saves popup-menu.png, then the About box
// and saves about-box.png, then the Options dialog (options-dialog.png), all
// into folder. With a clip it goes on with the preview (preview-window.png),
// a conversion (main-window-converting.png) and the preview in full screen
// (preview-full-screen.png). Then it closes the window.
void StartScreenshotTour(MainWindow& window, const QString& folder, const QString& clip);
