#pragma once

#include "cli/ClipList.h"
#include "cli/CommandOptions.h"
#include "cli/ConsoleOutput.h"
#include "cli/ExitStatus.h"
#include "extract/ConversionJob.h"

#include <cstdio>
#include <memory>
#include <optional>

class QEventLoop;
class QTimer;
class StopSignals;

// What one clip's running conversion has told so far.
struct RunState {
    std::optional<bool> rangeDone;   // set when the job has finished
    std::int64_t expected = 0;       // pictures the stretch gives
    std::optional<double> stopMilliseconds; // stopped by --stop-after, in this time
};

// Converts clips one after the other through the Convert button's job, each
// with the command's settings fitted to the clip as the window fits them
// when it opens one, and tells how each ended. Each clip is a conversion of
// its own, its frames counted from its first: every clip gives the pictures
// a call for it alone would give.
class ClipConverter final {
public:
    ClipConverter(const ExtractCommand& command, ConsoleMessages& messages, StopSignals& stops);
    ClipConverter(const ClipConverter&) = delete;
    ClipConverter& operator=(const ClipConverter&) = delete;

    ExitStatus Convert(const ClipTarget& clip);

private:
    std::optional<ConversionRequest> Prepare(const ClipTarget& clip, ExitStatus& failure);
    ExitStatus Run(const ConversionRequest& request);
    void Follow(ConversionJob& job, QEventLoop& loop, RunState& state, const QString& clip);
    void Tell(const ConversionOutcome& outcome) const;
    void StopAfter(double seconds, QTimer& timer, ConversionJob& job, RunState& state);

    const ExtractCommand& command_;
    ConsoleMessages& messages_;
    StopSignals& stops_;
    ProgressLine progress_;
    // The sampler's line per BMP picture is for the window's console, not this command's output.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> discard_;
};
