#include "media/PlaybackControls.h"

#include "media/PlaybackDisplay.h"
#include "media/ClipState.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include <utility>

std::unique_ptr<PreviewPlayer> OpenPreview(const PreviewServices& services, QWidget* ownerWindow, ClipState& clip)
{
    auto player = std::make_unique<PreviewPlayer>(services, ownerWindow);
    QObject::connect(player.get(), &PreviewPlayer::OpenFailed, player.get(), [&clip] { clip.video.path.clear(); });
    if (player->Open(clip.video.path, clip.video.duration))
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

void ConnectFrameStepShortcuts(QWidget& window, const std::function<void(FrameStep)>& step)
{
    const std::pair<Qt::Key, FrameStep> keys[] = {
        {Qt::Key_Left, FrameStep::Back},
        {Qt::Key_Comma, FrameStep::Back},
        {Qt::Key_Right, FrameStep::Forward},
        {Qt::Key_Period, FrameStep::Forward},
    };
    for (const auto& [key, direction] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), &window);
        shortcut->setAutoRepeat(true);
        QObject::connect(shortcut, &QShortcut::activated, &window, [step, direction] { step(direction); });
    }
}
