#pragma once

// framelift-extract's exit statuses, as its manual page and --help list them.
// When clips end differently the highest status is the command's.
enum class ExitStatus : int {
    Done = 0,             // every picture of every clip was written
    Usage = 2,            // an unknown option or a bad value
    NothingToConvert = 3, // a range holds no picture, or a folder holds no video file
    CannotOpen = 4,       // a clip is missing, holds no video or cannot be decoded
    PicturesLost = 5,     // a picture could not be written, or a clip ended early
    Interrupted = 128,    // plus the signal's number: 130 for Ctrl-C (SIGINT), 143 for SIGTERM
};

inline int ExitCode(ExitStatus status, int signal = 0)
{
    return static_cast<int>(status) + (status == ExitStatus::Interrupted ? signal : 0);
}
