#include "platform/media/MediaResult.h"

#include <cstdio>

std::string MediaErrorText(MediaResult result)
{
    switch (result) {
    case MediaResult::Ok: return "The operation completed successfully.";
    case MediaResult::False: return "The operation completed with a negative answer.";
    case MediaResult::Fail: return "Unspecified error.";
    case MediaResult::NoInterface: return "The requested service is not available for this media.";
    case MediaResult::Pointer: return "A required object is missing.";
    case MediaResult::NotImplemented: return "This operation is not supported.";
    case MediaResult::OutOfMemory: return "Not enough memory is available to complete this operation.";
    case MediaResult::InvalidArg: return "An argument is not valid.";
    case MediaResult::FileNotFound: return "The file cannot be found.";
    case MediaResult::CannotRender: return "The file cannot be decoded. It is either corrupt or of an unknown format.";
    case MediaResult::WrongState: return "The operation cannot be performed in the current state.";
    case MediaResult::NotConnected: return "The operation cannot be performed because the pins are not connected.";
    case MediaResult::ReadFault: return "The file could not be read. It may have been removed or the disk may be damaged.";
    case MediaResult::DecodeFault: return "The video decoder cannot continue with this file.";
    case MediaResult::EndOfData: return "The file ended before the requested range. The file may be truncated.";
    case MediaResult::Timeout: return "The operation did not finish in time.";
    case MediaResult::Aborted: return "The operation was stopped.";
    case MediaResult::CannotConnect: return "No combination of filters could be found to make the connection.";
    }
    char text[64];
    std::snprintf(text, sizeof text, "Unknown error 0x%08X.", ResultCode(result));
    return text;
}
