#include "media/PlaybackControls.h"

#include "media/PlaybackDisplay.h"
#include "media/ClipState.h"

std::unique_ptr<PreviewPlayer> OpenPreview(const PreviewServices& services, QWidget* ownerWindow, ClipState& clip)
{
    auto player = std::make_unique<PreviewPlayer>(services, ownerWindow);
    if (player->Open(clip.video.path))
        return player;
    clip.video.path.clear();
    return nullptr;
}

PositionDisplay PositionDisplayFor(const PreviewPlayer* player)
{
    if (!player)
        return {};
    const MediaTime current = player->CurrentPosition();
    const MediaTime stop = player->StopPosition();
    return PositionDisplay{FormatPositionText(current, stop), SeekBarPosition(current, stop)};
}

void SeekFromBar(PreviewPlayer* player, int seekPos)
{
    if (player && player->StopPosition() != 0)
        player->SeekTo(SeekTarget(player->StopPosition(), seekPos));
}

std::optional<QString> MarkPosition(const PreviewPlayer* player, MediaTime& mark)
{
    if (!player)
        return std::nullopt;
    mark = player->CurrentPosition();
    return FormatClockTime(mark);
}
