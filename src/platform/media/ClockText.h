#pragma once

#include <QString>

// "%02d:%02d:%02d" of whole seconds, as every time the program shows is
// written; hours are not wrapped at 24.
inline QString ClockText(long long seconds)
{
    return QString::asprintf("%02lld:%02lld:%02lld", seconds / 3600, seconds % 3600 / 60, seconds % 60);
}
