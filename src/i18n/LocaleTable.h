#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct LocaleRow {
    std::uint16_t langId; // primary language in the low 10 bits, sublanguage in the high 6
    std::string_view name;
    std::string_view abbreviation;
};

extern const std::array<LocaleRow, 273> kLocaleTable;
