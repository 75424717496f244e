#pragma once

#include <QString>

class MainWindow;

// For the documentation: once the window shows, saves main-window.png, then
// opens the right-click popup and saves popup-menu.png, then the About box
// and saves about-box.png, all into folder, and closes the window. Started
// only when FRAMELIFT_SCREENSHOT_DIR names the folder.
void StartScreenshotTour(MainWindow& window, const QString& folder);

// The folder of FRAMELIFT_SCREENSHOT_DIR; empty when it is not set.
QString ScreenshotFolder();
