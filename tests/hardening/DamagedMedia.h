#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Damaged files derived from clips made at test time, each written once into
// a temporary folder kept for the test program's run.
namespace damaged {

// The first fraction of the file's bytes.
QString Truncated(const QString& source, double fraction);
// Every byte of count bytes from the fraction's position inverted.
QString Flipped(const QString& source, double fraction, int count);
QString ZeroLength();
// The first headerBytes of one container followed by the rest of another.
QString HeaderOnOther(const QString& headerSource, const QString& dataSource, int headerBytes);
// A transport stream whose clock jumps back by 10 s half way through.
QString BackwardsTimestamps();
// An intact clip whose every frame is width x height.
QString FrameSize(int width, int height, double seconds);

} // namespace damaged

// Ends the test program, naming what hung, when it is not disarmed in time:
// a call that never returns cannot be caught by a test's own wait.
class Watchdog final {
public:
    Watchdog(const QString& what, int seconds);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    struct State;
    std::unique_ptr<State> state_;
};
