#pragma once

#include <QPoint>

#include <memory>

class Choosers;
class LanguagePack;
class MessageService;
class QMenu;
class QWidget;
struct MenuTemplate;

inline constexpr int kFirstLanguageCommand = 45400;
inline constexpr int kLastLanguageCommand = 46399;

// A Qt menu of a menu template: one top menu whose items are the template's;
// each command action carries its id as data().toInt().
std::unique_ptr<QMenu> LoadMenuTemplate(const MenuTemplate& menuTemplate);

// Replaces the Language submenu's placeholder of popup (the first item of the
// popup of menu 160) by one checkable entry per language file, ids from
// 45400, the current language checked; then translates the whole menu.
// Returns 0 when popup has no submenu at its first place, else 1.
int BuildLanguageMenu(const LanguagePack& language, QMenu& topMenu, QMenu& popup);

// Shows the popup of menu 160 at a point of window's client area and returns
// the command chosen, 0 when none was.
int ShowLanguagePopup(const LanguagePack& language, QWidget& window, QPoint clientPosition);

// For a command of the Language submenu (45400..46399): selects that language,
// translates the main window and asks for a restart. Any other command is
// left alone.
void OnLanguageCommand(LanguagePack& language, MessageService& messages, QWidget& mainWindow, int commandId);

// The popup's Font command: the font chooser, started from the UiFont; on OK
// the chosen font becomes the UiFont, is stored for the current language and
// is applied to the main window's translated controls.
void OnFontCommand(LanguagePack& language, Choosers& choosers, QWidget& mainWindow);
