#pragma once

#include <QString>

#include <cstdint>

class Profile;

// The stored description of the user-interface font, field for field as the
// profile keeps it (the names of a LOGFONT).
struct FontDescription {
    std::int32_t lfHeight = -11; // negative: pixel height of the characters
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 400;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 1;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfPitchAndFamily = 0;
    QString lfFaceName = QStringLiteral("Microsoft Sans Serif");

    bool operator==(const FontDescription&) const = default;
};

// The longest face name a description holds, in characters.
inline constexpr int kFaceNameMax = 31;

// Reads the description from the section of a language; absent values take their defaults.
FontDescription LoadFontDescription(const Profile& profile, const QString& section);
void SaveFontDescription(Profile& profile, const QString& section, const FontDescription& font);
