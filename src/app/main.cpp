#include "app/Application.h"
#include "app/PlatformServices.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
    return RunOnPlatformServices(Application::Run);
}
