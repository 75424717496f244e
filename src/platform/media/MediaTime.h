#pragma once

#include <cstdint>

// Media time: a signed count of 100-nanosecond units. Every position, length
// and mark of the program is one; zero is the start of the file (its first
// timestamp), the same for the probe, the player and the frame extractor.
using MediaTime = std::int64_t;

inline constexpr MediaTime kMediaUnitsPerSecond = 10'000'000;
