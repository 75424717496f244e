#pragma once

#include "platform/media/FilterGraph.h"

#include <atomic>
#include <mutex>
#include <optional>

class FilterGraph;

// The end of a stream that throws its frames away.
class NullRendererFilter final : public Filter {
public:
    NullRendererFilter() = default;
};

class EngineSampleGrabber final : public SampleGrabber {
public:
    EngineSampleGrabber() = default;
    EngineSampleGrabber(const EngineSampleGrabber&) = delete;
    EngineSampleGrabber& operator=(const EngineSampleGrabber&) = delete;

    MediaResult SetMediaType(const MediaType& type) override;
    MediaResult SetCallback(SampleGrabberCallback* callback) override;
    MediaResult SetOneShot(bool oneShot) override;
    MediaResult SetBufferSamples(bool buffer) override;
    MediaResult GetConnectedMediaType(MediaType& type) override;

    // Used by the graph that holds it.
    bool Accepts(const MediaType& type) const;
    // A grabber sits in one graph at a time; null lets it go.
    bool JoinGraph(const FilterGraph* graph);
    const FilterGraph* Graph() const { return graph_; }
    void Connect(const MediaType& type) { connected_ = type; }
    bool IsConnected() const { return connected_.has_value(); }
    // Called on the streaming thread, one frame at a time: whether the frame
    // must be drawn, then the frame itself.
    bool NeedsBuffer();
    void Deliver(double sampleTime, std::uint8_t* buffer, long length);

private:
    MediaType accepted_;
    std::optional<MediaType> connected_;
    std::atomic<SampleGrabberCallback*> callback_{nullptr};
    const FilterGraph* graph_ = nullptr;
};
