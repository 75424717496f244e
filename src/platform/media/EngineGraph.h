#pragma once

#include "platform/media/EngineFilters.h"
#include "platform/media/GroupStreamer.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// The output of one group; it remembers where it was connected.
class EnginePin final : public OutputPin {
public:
    explicit EnginePin(MediaType type) : type_(std::move(type)) {}
    const MediaType& Type() const { return type_; }

    bool connected = false;
    EngineSampleGrabber* grabber = nullptr; // the frames pass it on their way to the renderer

private:
    MediaType type_;
};

// The graph a render engine builds from a timeline: one pin per group, the
// filters the program adds, and one streaming thread per connected video
// group while it runs.
class EngineGraph final : public FilterGraph, public MediaControl, public MediaEventSource, public MediaFilter {
public:
    struct Group {
        MediaType mediaType;
        std::unique_ptr<GroupStreamer> streamer; // null for a sound group: sound is not decoded
    };

    explicit EngineGraph(std::vector<Group> groups);
    ~EngineGraph() override;
    EngineGraph(const EngineGraph&) = delete;
    EngineGraph& operator=(const EngineGraph&) = delete;

    MediaResult AddFilter(std::shared_ptr<Filter> filter, const std::string& name) override;
    std::vector<std::string> FilterNames() const override;
    MediaResult QueryMediaControl(MediaControl*& control) override;
    MediaResult QueryMediaEvent(MediaEventSource*& events) override;
    MediaResult QueryMediaFilter(MediaFilter*& filter) override;

    MediaResult Run() override;
    MediaResult Stop() override;
    MediaResult SetNotify(GraphNotify notify) override;
    MediaResult GetEvent(GraphEvent& event) override;
    MediaResult SetSyncSource(SyncSource source) override;

    // The capture graph builder's work: pin, optional grabber, renderer.
    MediaResult Connect(OutputPin& pin, Filter* intermediate, Filter& renderer);
    OutputPin* Pin(int group);

private:
    bool Contains(const Filter* filter) const;
    MediaResult ConnectThrough(EnginePin& pin, Filter& intermediate);
    void StreamGroup(std::size_t group);
    void Finished(MediaResult result);
    bool WaitUntilDue(MediaTime t);
    void Post(GraphEvent event);

    std::vector<Group> groups_;
    std::vector<std::unique_ptr<EnginePin>> pins_;
    std::vector<std::pair<std::shared_ptr<Filter>, std::string>> filters_;
    bool useClock_ = true;

    // Streaming state; the mutex guards everything below it.
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::chrono::steady_clock::time_point started_;
    std::size_t streaming_ = 0; // groups still delivering frames
    bool failed_ = false;
    std::deque<GraphEvent> events_;
    GraphNotify notify_;
};
