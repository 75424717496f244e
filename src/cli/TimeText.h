#pragma once

#include <QString>

#include <optional>

// Seconds from a time as a user types it: "12.5" seconds, "1:02.5" minutes
// and seconds, or "01:02:03.250" hours, minutes and seconds (a field after
// another below 60); nullopt for anything else.
std::optional<double> ParseTimeText(const QString& text);
