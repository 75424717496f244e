#pragma once

#include <QString>

struct AppServices;
class MainWindow;

// Start-up and shutdown around the main window's loop.
class Application final {
public:
    // Brings the language up, runs the main window in its own loop and returns when it closes.
    static int Run(AppServices& services);
};

// Selects the stored language from the language folder; the first step of start-up.
void StartLanguage(AppServices& services);

// Shows the window and returns when it has closed.
void RunUntilClosed(MainWindow& window);
