#include "app/Application.h"
#include "app/PlatformServices.h"
#include "platform/media/MediaLog.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
    ShowOnlyMediaErrors();
    return RunOnPlatformServices(Application::Run);
}
