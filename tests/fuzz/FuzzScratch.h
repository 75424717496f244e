#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// A folder of the fuzzer's own, made on the first call and kept for the whole
// run. HOME, XDG_CONFIG_HOME and the temporary folder point into it from then
// on, so that no input reaches the real ones.
const QString& ScratchFolder();

// Replaces the file at path with the input's bytes; false when it cannot be written.
bool WriteInput(const QString& path, const std::uint8_t* data, std::size_t size);
