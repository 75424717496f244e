#pragma once

#include "platform/media/MediaResult.h"

#include <functional>

// Event codes a graph reports; the numbers are those the program's event
// handlers compare with.
inline constexpr long EC_COMPLETE = 1;   // the last frame has been delivered
inline constexpr long EC_USERABORT = 2;
inline constexpr long EC_ERRORABORT = 3; // streaming stopped; param1 is the MediaResult

struct GraphEvent {
    long code = 0;
    long param1 = 0;
    long param2 = 0;
};

// Called on whatever thread produced an event (a streaming thread, a player
// thread), whenever events are waiting. The owner posts a message to its own
// thread and fetches the events there; it must not block or call back.
using GraphNotify = std::function<void()>;

// The event queue of a graph, drained on the owner's thread.
class MediaEventSource {
public:
    virtual ~MediaEventSource() = default;
    // Replaces the notification; an empty one stops notifications.
    virtual MediaResult SetNotify(GraphNotify notify) = 0;
    // Takes the oldest waiting event without waiting; False when none.
    virtual MediaResult GetEvent(GraphEvent& event) = 0;
};
