#pragma once

#include <span>
#include <string_view>

struct MenuTemplate;

// One item: a command (id above 0), a separator or placeholder (id 0 and no
// submenu), or a submenu.
struct MenuItemTemplate {
    std::string_view text;
    int id = 0;
    const MenuTemplate* submenu = nullptr;
};

struct MenuTemplate {
    std::span<const MenuItemTemplate> items;
};

inline constexpr int kCommandFont = 32781;
inline constexpr int kCommandAbout = 32778;

// Menu 160: "PopupMenu" holding "Language" (one placeholder item), "Font" and "About".
const MenuTemplate& PopupMenuTemplate();
