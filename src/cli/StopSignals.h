#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

// Ctrl-C (SIGINT) and SIGTERM, delivered as a Qt signal on the thread that
// made this object, so that a conversion stops the way the Stop button stops
// it. A second such signal ends the process the system's way; a signal that
// was ignored when the command started stays ignored. One at a time.
class StopSignals final : public QObject {
    Q_OBJECT

public:
    StopSignals();
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The number of the signal received, or 0; set even before the event
    // loop has delivered Stop.
    static int Received();

Q_SIGNALS:
    void Stop();

private:
    void OnReadable();

    std::unique_ptr<QSocketNotifier> notifier_;
};
