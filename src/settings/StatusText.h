#pragma once

#include "settings/ConversionSettings.h"

class LanguagePack;

// The status line after start-up and after the options change: the folder and
// "Original size" while no clip is open, else the folder and the output size.
QString OutputStatusText(const LanguagePack& language, const ConversionSettings& settings, const ClipFacts& clip);

