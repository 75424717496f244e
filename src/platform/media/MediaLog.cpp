#include "platform/media/MediaLog.h"

extern "C" {
#include <libavutil/log.h>
}

void ShowOnlyMediaErrors()
{
    av_log_set_level(AV_LOG_ERROR);
}
