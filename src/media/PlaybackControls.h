#pragma once

#include "media/PreviewPlayer.h"
#include "platform/media/MediaTime.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

struct ClipState;
class QWidget;

// A new player for the clip's source entry 0, shown stopped. When the clip
// cannot be played its messages have been shown, the source path is emptied
// so that it cannot be converted, and no player is returned.
std::unique_ptr<PreviewPlayer> OpenPreview(const PreviewServices& services, QWidget* ownerWindow, ClipState& clip);

// What the main window shows after the player polled its positions. While
// the seek bar is being dragged the main window leaves both alone.
struct PositionDisplay {
    QString positionText;         // empty without a player
    std::optional<int> seekPos;   // none without a player: the bar stays
};

PositionDisplay PositionDisplayFor(const PreviewPlayer* player);

// The seek bar was released at seekPos; a clip of unknown length is not sought.
void SeekFromBar(PreviewPlayer* player, int seekPos);

// Start Time and End Time: the mark takes the player's position at the
// press, to the 100-ns unit (the last polled one when it cannot be read);
// returns the box text, or nullopt without a player.
std::optional<QString> MarkPosition(PreviewPlayer* player, MediaTime& mark);

// Left and "," step one frame back, Right and "." one frame on, while the
// window is active; a text box with the focus keeps these keys.
void ConnectFrameStepShortcuts(QWidget& window, const std::function<void(FrameStep)>& step);
