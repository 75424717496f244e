#pragma once

class LanguagePack;
class QMenu;
class QWidget;

// Relabels a dialog from the current language file: the caption from the
// dialog's key, each direct child control with id 100 or above from its
// control key; relabelled controls take the UiFont. Controls whose key has no
// value keep the text they show. Returns 0 (changing nothing) when there is
// no language file, else 1.
int TranslateDialog(const LanguagePack& language, QWidget& window, int dialogId);

// Relabels the items of a menu built from template templateId. The top level
// keeps its labels; below it a command item takes the text of its id, and
// the submenus, numbered templateId * 65536, + 1, ... in depth-first order,
// take the text of their number. Returns 0 when there is no language file, else 1.
int TranslateMenu(const LanguagePack& language, QMenu& menu, int templateId);
