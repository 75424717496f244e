#include "cli/StopSignals.h"

#include <csignal>
#include <iterator>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The handler may only set a flag and write to a pipe; the notifier reads
// the pipe on the event loop's thread.
volatile std::sig_atomic_t received = 0;
int wakeRead = -1;
int wakeWrite = -1;

constexpr int kStopSignals[] = {SIGINT, SIGTERM};
// A signal ignored when the command started (a shell's background command)
// stays ignored, as the shell asked.
bool handled[std::size(kStopSignals)] = {};

extern "C" void OnStopSignal(int number)
{
    received = number;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(wakeWrite, &byte, 1);
}

bool Ignored(int number)
{
    struct sigaction current = {};
    return sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

// SA_RESETHAND: the handler runs once; the next signal ends the process.
void Handle(std::size_t index, void (*handler)(int), int flags)
{
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(kStopSignals[index], &action, nullptr);
}

} // namespace

StopSignals::StopSignals()
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep ending the process at once
    wakeRead = ends[0];
    wakeWrite = ends[1];
    notifier_ = std::make_unique<QSocketNotifier>(wakeRead, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &StopSignals::OnReadable);
    for (std::size_t index = 0; index < std::size(kStopSignals); ++index) {
        handled[index] = !Ignored(kStopSignals[index]);
        if (handled[index])
            Handle(index, OnStopSignal, SA_RESETHAND | SA_RESTART);
    }
}

StopSignals::~StopSignals()
{
    if (!notifier_)
        return;
    for (std::size_t index = 0; index < std::size(kStopSignals); ++index)
        if (std::exchange(handled[index], false))
            Handle(index, SIG_DFL, 0);
    notifier_.reset();
    close(wakeRead);
    close(wakeWrite);
    wakeRead = wakeWrite = -1;
}

int StopSignals::Received() { return received; }

void StopSignals::OnReadable()
{
    char bytes[8];
    while (read(wakeRead, bytes, sizeof bytes) > 0) {
    }
    Q_EMIT Stop();
}
