// The program with its screenshot tour: the main window as a user starts it,
// driven through its windows by the tour, which saves the pictures of the
// documentation and closes it. scripts/screenshots runs it under Xvfb.
// Usage: framelift <folder> [clip]
#include "ScreenshotTour.h"

#include "app/AppServices.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/PlatformServices.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        QTextStream(stderr) << "usage: " << arguments.value(0) << " <folder> [clip]\n";
        return 2;
    }
    return RunOnPlatformServices([&arguments](AppServices& services) {
        StartLanguage(services);
        MainWindow window(services);
        StartScreenshotTour(window, arguments.at(1), arguments.value(2));
        RunUntilClosed(window);
        return 0;
    });
}
