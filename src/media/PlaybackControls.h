#pragma once

#include "media/PreviewPlayer.h"
#include "platform/media/MediaTime.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

struct ClipState;
class QWidget;

// A new player for the clip's source entry 0, shown stopped, its length the
// clip's measured duration until the player learns its own. When the clip
// cannot be played its messages are shown and the source path is emptied so
// that it cannot be converted: at once, and no player is returned, when no
// graph can be made, or later, when the player finds out and emits OpenFailed.
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

// Left and "," step one frame back, Right and "." one frame on, while the
// window is active; a text box with the focus keeps these keys.
void ConnectFrameStepShortcuts(QWidget& window, const std::function<void(FrameStep)>& step);
