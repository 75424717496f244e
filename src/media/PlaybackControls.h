#pragma once

#include "platform/media/MediaTime.h"

#include <QString>

#include <optional>

class PreviewPlayer;

// What the main window shows after the player polled its positions. While
// the seek bar is being dragged the main window leaves both alone.
struct PositionDisplay {
    QString positionText;         // empty without a player
    std::optional<int> seekPos;   // none without a player: the bar stays
};

PositionDisplay PositionDisplayFor(const PreviewPlayer* player);

// The seek bar was released at seekPos; a clip of unknown length is not sought.
void SeekFromBar(PreviewPlayer* player, int seekPos);

// Start Time and End Time: the mark takes the last polled position, to the
// 100-ns unit; returns the box text, or nullopt without a player.
std::optional<QString> MarkPosition(const PreviewPlayer* player, MediaTime& mark);
