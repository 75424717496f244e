#pragma once

// Ids of the dialog and menu templates; a language file's dialog and menu
// texts are tied to the controls and items of these templates.
inline constexpr int kAboutDialogTemplate = 100;
inline constexpr int kMainWindowTemplate = 102;
inline constexpr int kOptionsDialogTemplate = 129;
inline constexpr int kPopupMenuTemplate = 160;
