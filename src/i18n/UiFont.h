#pragma once

#include "i18n/FontDescription.h"

#include <QFont>

// Face, size, weight and style carry over; the system substitutes a missing face.
QFont ToQFont(const FontDescription& description);
FontDescription FromQFont(const QFont& font);
