#include "i18n/UiFont.h"

#include "platform/profile/Profile.h"

#include <cmath>

namespace {

constexpr int kFaceNameMax = 31;

// Stored names of the description's fields; do not rename them.
template <typename Visit>
void ForEachField(FontDescription& font, Visit visit)
{
    visit(QStringLiteral("lfHeight"), font.lfHeight);
    visit(QStringLiteral("lfWidth"), font.lfWidth);
    visit(QStringLiteral("lfEscapement"), font.lfEscapement);
    visit(QStringLiteral("lfOrientation"), font.lfOrientation);
    visit(QStringLiteral("lfWeight"), font.lfWeight);
    visit(QStringLiteral("lfItalic"), font.lfItalic);
    visit(QStringLiteral("lfUnderline"), font.lfUnderline);
    visit(QStringLiteral("lfStrikeOut"), font.lfStrikeOut);
    visit(QStringLiteral("lfCharSet"), font.lfCharSet);
    visit(QStringLiteral("lfOutPrecision"), font.lfOutPrecision);
    visit(QStringLiteral("lfClipPrecision"), font.lfClipPrecision);
    visit(QStringLiteral("lfPitchAndFamily"), font.lfPitchAndFamily);
}

const QString kFaceName = QStringLiteral("lfFaceName");

} // namespace

FontDescription LoadFontDescription(const Profile& profile, const QString& section)
{
    FontDescription font;
    ForEachField(font, [&](const QString& name, auto& field) {
        // 8-bit fields take the low 8 bits of the stored number.
        field = static_cast<std::remove_reference_t<decltype(field)>>(profile.GetInt(section, name, field));
    });
    font.lfFaceName = profile.GetText(section, kFaceName, font.lfFaceName).left(kFaceNameMax);
    return font;
}

void SaveFontDescription(Profile& profile, const QString& section, const FontDescription& font)
{
    FontDescription copy = font;
    ForEachField(copy, [&](const QString& name, auto& field) { profile.WriteInt(section, name, field); });
    profile.WriteText(section, kFaceName, copy.lfFaceName);
}

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
