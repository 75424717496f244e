#pragma once

#include <cstdint>
#include <string>

// Result of a media-service call. The values follow the platform codes the
// program's diagnostic texts print as "hr=0x%x", so a code reads the same
// in a message box as in a log.
enum class MediaResult : std::uint32_t {
    Ok = 0,
    False = 1,                     // succeeded, but the answer is "no"
    Fail = 0x80004005,             // unspecified failure
    NoInterface = 0x80004002,      // the object has no such service (no video, no seeking)
    Pointer = 0x80004003,          // a required object was missing
    NotImplemented = 0x80004001,   // the request is valid but not supported here
    OutOfMemory = 0x8007000E,
    InvalidArg = 0x80070057,
    FileNotFound = 0x80070002,
    CannotRender = 0x80040218,     // no decoder for the file or not a media file
    WrongState = 0x80040227,       // the operation does not fit the object's state
    NotConnected = 0x80040209,     // a pin or filter was never connected
    ReadFault = 0x8007001E,        // the file could not be read while streaming
    DecodeFault = 0x80040265,      // the decoder cannot go on
    EndOfData = 0x80070026,        // the file's data ended before the range did
    Timeout = 0x800705B4,
    Aborted = 0x80004004,          // stopped on request before it finished
    CannotConnect = 0x80040217,    // the stream's type does not fit the filter
};

constexpr bool Succeeded(MediaResult result)
{
    return static_cast<std::uint32_t>(result) < 0x80000000u;
}

constexpr bool Failed(MediaResult result)
{
    return !Succeeded(result);
}

constexpr std::uint32_t ResultCode(MediaResult result)
{
    return static_cast<std::uint32_t>(result);
}

// The platform's text for a result code, at most 160 characters.
std::string MediaErrorText(MediaResult result);
