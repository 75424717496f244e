#include "i18n/UiFont.h"

#include <algorithm>
#include <cmath>

QFont ToQFont(const FontDescription& description)
{
    QFont font(description.lfFaceName);
    if (description.lfHeight != 0)
        font.setPixelSize(std::abs(description.lfHeight));
    if (description.lfWeight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(description.lfWeight, 1, 1000)));
    font.setItalic(description.lfItalic != 0);
    font.setUnderline(description.lfUnderline != 0);
    font.setStrikeOut(description.lfStrikeOut != 0);
    return font;
}

FontDescription FromQFont(const QFont& font)
{
    FontDescription description;
    description.lfFaceName = font.family().left(kFaceNameMax);
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
    description.lfHeight = -pixels;
    description.lfWeight = font.weight();
    description.lfItalic = font.italic() ? 1 : 0;
    description.lfUnderline = font.underline() ? 1 : 0;
    description.lfStrikeOut = font.strikeOut() ? 1 : 0;
    return description;
}
