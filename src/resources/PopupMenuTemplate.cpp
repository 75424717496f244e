#include "resources/MenuTemplate.h"

#include <array>

namespace {

constexpr auto kLanguageItems = std::to_array<MenuItemTemplate>({{"", 0, nullptr}});
constexpr MenuTemplate kLanguage{kLanguageItems};

constexpr auto kPopupItems = std::to_array<MenuItemTemplate>({
    {"Language", 0, &kLanguage},
    {"Font", kCommandFont, nullptr},
    {"About", kCommandAbout, nullptr},
});
constexpr MenuTemplate kPopup{kPopupItems};

constexpr auto kTopItems = std::to_array<MenuItemTemplate>({{"PopupMenu", 0, &kPopup}});
constexpr MenuTemplate kTop{kTopItems};

} // namespace

const MenuTemplate& PopupMenuTemplate()
{
    return kTop;
}
