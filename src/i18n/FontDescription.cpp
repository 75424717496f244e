#include "i18n/FontDescription.h"

#include "platform/profile/Profile.h"

#include <type_traits>

namespace {

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
