#pragma once

#include <span>
#include <string_view>

// One row of the language key table. Key names are stored in language files:
// do not rename them, misspellings included.
struct LanguageKey {
    std::string_view key;
    int id;
    std::string_view builtIn; // the English text shown while no language file supplies one
};

enum class LanguageSection { Menu, Dialog, String, None };

std::span<const LanguageKey> LanguageKeyTable();

// The section a key is read from, by the first three letters of its name.
LanguageSection SectionOfKey(std::string_view key);

// The built-in English text of a string-table id or of a dialog or control id;
// empty when the table has none.
std::string_view BuiltInString(int id);
std::string_view BuiltInDialogText(int id);
