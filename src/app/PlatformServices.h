#pragma once

#include <functional>

struct AppServices;

// Makes the program's services on this platform in their start-up order, runs
// body on them and returns what it returns; the services end with the call.
// Needs the QApplication to exist.
int RunOnPlatformServices(const std::function<int(AppServices&)>& body);
