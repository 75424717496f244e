#pragma once

#include <QEvent>

class QObject;

// Numbers of the messages windows post to each other; they keep the values of
// the message tables they come from.
inline constexpr int kMessageCommand = 0x0111;         // wParam: the command id
inline constexpr int kMessagePositionRefresh = 0x0403; // 1027, preview window -> main window
inline constexpr int kMessageGraphEvent = 0x040D;      // 1037, a graph has events to fetch

// A message posted to a window's event queue, delivered to its customEvent on
// the user-interface thread after everything already queued.
class WindowMessageEvent final : public QEvent {
public:
    WindowMessageEvent(int message, long long wParam, long long lParam);

    static QEvent::Type EventType();

    const int message;
    const long long wParam;
    const long long lParam;
};

// Safe from any thread: the event is queued to the receiver's thread.
void PostWindowMessage(QObject& receiver, int message, long long wParam = 0, long long lParam = 0);
