#pragma once

#include "platform/media/DrawnPicture.h"
#include "platform/media/GraphEvent.h"
#include "platform/media/MediaResult.h"
#include "platform/media/MediaType.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Receives the frames of a conversion, one at a time and in order, on the
// render engine's streaming thread; the next frame waits until it returns.
class SampleGrabberCallback {
public:
    virtual ~SampleGrabberCallback() = default;
    // Asked once for every frame, before it is drawn: counts the frame and
    // answers whether it is kept. A frame that is not kept is never drawn nor
    // handed over, which saves most of the work when every n-th is wanted.
    virtual bool KeepsFrame() = 0;
    // How many of the frames to come will be asked about and not kept before
    // the kept one that follows `after` other kept ones: the engine need not
    // decode what only the others show. Negative when the callback cannot
    // tell: every frame is decoded.
    virtual std::int64_t FramesBeforeKept(std::int64_t after) const
    {
        (void)after;
        return -1;
    }
    // The layout its kept frames are drawn in; read before each is drawn.
    virtual PictureLayout Layout() const { return PictureLayout::Bgr24; }
    // A kept frame, drawn once and handed over with its memory. sampleTime
    // is its timeline time in seconds.
    virtual void SampleCB(double sampleTime, DrawnPicture picture) = 0;
};

// Hands the frames of the stream it is connected to to a callback. It sits in
// one graph at a time and lives across conversions. Each setting is a call a
// fake can fail.
class SampleGrabber {
public:
    SampleGrabber() = default;
    virtual ~SampleGrabber() = default;
    SampleGrabber(const SampleGrabber&) = delete;
    SampleGrabber& operator=(const SampleGrabber&) = delete;

    // The types it accepts (video RGB24 only); a stream of another type does not connect.
    virtual MediaResult SetMediaType(const MediaType& type);
    // Null stops the calls. The callback must outlive every run of the grabber.
    virtual MediaResult SetCallback(SampleGrabberCallback* callback);
    // Only continuous grabbing is offered: true gives NotImplemented.
    virtual MediaResult SetOneShot(bool oneShot);
    // Samples are never kept: true gives NotImplemented.
    virtual MediaResult SetBufferSamples(bool buffer);
    // The type of the stream it is connected to; NotConnected before that.
    virtual MediaResult GetConnectedMediaType(MediaType& type);

    // For the graph that connects it and the engine that runs it.
    bool Accepts(const MediaType& type) const;
    bool IsConnected() const { return connected_.has_value(); }
    void Connect(const MediaType& type) { connected_ = type; }
    void Disconnect() { connected_.reset(); }
    SampleGrabberCallback* Callback() const { return callback_.load(); }

private:
    MediaType accepted_;
    std::optional<MediaType> connected_;
    std::atomic<SampleGrabberCallback*> callback_{nullptr};
};

// A filter the capture steps put into the graph under a name: the grabber
// when one is given, otherwise a null renderer, an end of a stream that
// throws its frames away.
struct GraphFilter {
    std::string name;
    std::shared_ptr<SampleGrabber> grabber;
};

// The stream of one timeline group, optionally through a grabber, into a
// null renderer; filters are named as they were added.
struct GraphConnection {
    int group = 0;
    std::string through; // empty: straight into the renderer
    std::string renderer;
};

enum class SyncSource { ReferenceClock, None };

// The capture graph: the filters the capture steps add and the connections
// they make, which the render engine runs. Adding and connecting check what
// they can; a fake fails them on demand.
class FilterGraph {
public:
    // groups: the media type of every timeline group, in order.
    explicit FilterGraph(std::vector<MediaType> groups = {}) : groups_(std::move(groups)) {}
    virtual ~FilterGraph();
    FilterGraph(const FilterGraph&) = delete;
    FilterGraph& operator=(const FilterGraph&) = delete;

    // Names are unique; a grabber already connected elsewhere does not join.
    virtual MediaResult AddFilter(const GraphFilter& filter);
    // Both filters must be in the graph and each group connects once.
    virtual MediaResult Connect(const GraphConnection& connection);
    // With the reference clock frames follow their timeline times in real
    // time; without one they flow as fast as they are decoded.
    virtual MediaResult SetSyncSource(SyncSource source);

    std::vector<std::string> FilterNames() const;
    const std::vector<GraphConnection>& Connections() const { return connections_; }
    // The grabber a group's frames pass, or null.
    SampleGrabber* GrabberOf(int group) const;
    bool Clocked() const { return sync_ == SyncSource::ReferenceClock; }
    // While the engine runs the graph it does not change.
    void Lock(bool locked) { locked_ = locked; }

private:
    const GraphFilter* Find(const std::string& name) const;

    std::vector<MediaType> groups_;
    std::vector<GraphFilter> filters_;
    std::vector<GraphConnection> connections_;
    SyncSource sync_ = SyncSource::ReferenceClock;
    bool locked_ = false;
};

// Connects a group's stream in a graph: the steps name filters by the name
// they were added under.
class CaptureGraphBuilder {
public:
    CaptureGraphBuilder() = default;
    virtual ~CaptureGraphBuilder() = default;
    virtual MediaResult SetFiltergraph(FilterGraph& graph);
    virtual MediaResult RenderStream(const GraphConnection& connection);

private:
    FilterGraph* graph_ = nullptr;
};

// Starts and stops streaming.
class MediaControl {
public:
    virtual ~MediaControl() = default;
    // Streams from the first frame on a thread of its own.
    virtual MediaResult Run() = 0;
    // Returns when no frame is being delivered any more.
    virtual MediaResult Stop() = 0;
};
