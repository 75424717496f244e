#pragma once

#include "platform/media/GraphEvent.h"
#include "platform/media/MediaResult.h"
#include "platform/media/MediaType.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Receives the frames that pass a sample grabber, one call per frame on the
// graph's streaming thread; the next frame waits until the call returns.
// The buffer holds bottom-up rows of blue, green, red, each row padded to a
// multiple of 4 bytes; it is valid, and may be changed, only during the call.
class SampleGrabberCallback {
public:
    virtual ~SampleGrabberCallback() = default;
    // sampleTime: the frame's timeline time in seconds.
    virtual void BufferCB(double sampleTime, std::uint8_t* buffer, long length) = 0;
    // Asked once per frame, before the frame is converted. A callback that
    // keeps only some frames answers false for the others: that frame is
    // then neither converted nor handed to BufferCB, which saves most of
    // the work when only every n-th frame is wanted.
    virtual bool NeedsBuffer() { return true; }
};

// A processing step that a graph holds under a name.
class Filter {
public:
    virtual ~Filter() = default;
};

// Hands every frame that passes it to a callback; it can sit in one graph at
// a time and lives across graphs.
class SampleGrabber : public Filter {
public:
    // The types it accepts; a stream of another type does not connect.
    virtual MediaResult SetMediaType(const MediaType& type) = 0;
    // Null stops the calls. The callback must outlive every graph the
    // grabber runs in.
    virtual MediaResult SetCallback(SampleGrabberCallback* callback) = 0;
    // Only continuous grabbing is offered: true gives NotImplemented.
    virtual MediaResult SetOneShot(bool oneShot) = 0;
    // Samples are never kept: true gives NotImplemented.
    virtual MediaResult SetBufferSamples(bool buffer) = 0;
    // The type of the stream it is connected to; NotConnected before that.
    virtual MediaResult GetConnectedMediaType(MediaType& type) = 0;
};

// The output of one timeline group in a render engine's graph.
class OutputPin {
public:
    virtual ~OutputPin() = default;
};

// Starts and stops streaming.
class MediaControl {
public:
    virtual ~MediaControl() = default;
    // Streams from the first frame on threads of its own.
    virtual MediaResult Run() = 0;
    // Returns when no frame is being delivered any more.
    virtual MediaResult Stop() = 0;
};

enum class SyncSource { ReferenceClock, None };

// How the graph paces its frames.
class MediaFilter {
public:
    virtual ~MediaFilter() = default;
    // With the reference clock frames follow their timeline times in real
    // time; without one they flow as fast as they are decoded.
    virtual MediaResult SetSyncSource(SyncSource source) = 0;
};

class FilterGraph {
public:
    virtual ~FilterGraph() = default;
    virtual MediaResult AddFilter(std::shared_ptr<Filter> filter, const std::string& name) = 0;
    virtual std::vector<std::string> FilterNames() const = 0;
    virtual MediaResult QueryMediaControl(MediaControl*& control) = 0;
    virtual MediaResult QueryMediaEvent(MediaEventSource*& events) = 0;
    virtual MediaResult QueryMediaFilter(MediaFilter*& filter) = 0;
};

// Connects an output pin, through an optional intermediate filter, to a
// renderer; both filters must already be in the graph.
class CaptureGraphBuilder {
public:
    virtual ~CaptureGraphBuilder() = default;
    virtual MediaResult SetFiltergraph(FilterGraph& graph) = 0;
    virtual MediaResult RenderStream(OutputPin& pin, Filter* intermediate, Filter& renderer) = 0;
};
