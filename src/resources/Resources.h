#pragma once

#include <QByteArray>
#include <QCursor>
#include <QIcon>
#include <QPixmap>

#include <optional>
#include <string_view>

// Resource ids of the pictures, cursor and sound the program ships.
inline constexpr int kIconApplication = 128; // window icon, also the Convert button's
inline constexpr int kBitmapBackground = 139;
inline constexpr int kIconOpenVideo = 140;
inline constexpr int kCursorButton = 141;
inline constexpr int kWaveHover = 144;
inline constexpr int kIconTransition = 145;
inline constexpr int kIconOptions = 146;
inline constexpr int kIconPreview = 147;
inline constexpr int kIconHelp = 148;
inline constexpr int kIconMoveUp = 150;
inline constexpr int kIconMoveDown = 151;
inline constexpr int kIconDelete = 152;
inline constexpr int kIconDeleteAll = 154;
inline constexpr int kIconProperties = 155;
inline constexpr int kIconAbout = 156;
inline constexpr int kIconHomepage = 158;
inline constexpr int kIconExit = 159;

// A text of the templates and menus (UTF-8) as a QString.
QString ResourceText(std::string_view text);

// Null when the program has no such resource.
QIcon LoadIconResource(int id);
QPixmap LoadIconPixmap(int id); // at the icon's own stored size
QPixmap LoadBitmapResource(int id);
// nullopt when the program has no such cursor.
std::optional<QCursor> LoadCursorResource(int id);
// The bytes of a WAV file; empty when there is none.
QByteArray LoadWaveResource(int id);
