#pragma once

#include <QString>

// The executable's file name without extension: it names the profile file and
// captions the message boxes that name no caption of their own.
QString ApplicationTitle();
