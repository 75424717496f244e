#include "platform/media/MpvPlaybackGraph.h"

std::unique_ptr<PlaybackServices> CreatePlatformPlaybackServices(bool headless)
{
    return std::make_unique<MpvPlaybackServices>(headless ? PlaybackOutput::Headless : PlaybackOutput::Embedded);
}
