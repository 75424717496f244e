#pragma once

#include "settings/ConversionSettings.h"

class LanguagePack;
class OptionsDialog;
class Profile;

// The status line after start-up and after the options change: the folder and
// "Original size" while no clip is open, else the folder and the output size.
QString OutputStatusText(const LanguagePack& language, const ConversionSettings& settings, const ClipFacts& clip);

// The main window's part after OK: takes the edited copy back and stores the
// folder without its trailing separator.
void TakeOptions(Profile& profile, const OptionsDialog& dialog, ConversionSettings& settings);
