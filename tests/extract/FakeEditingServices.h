#pragma once

#include "platform/media/EditingServices.h"
#include "platform/media/MediaType.h"

#include <map>
#include <set>
#include <string>

// Editing services whose every step can be made to fail by name; what the
// steps do is recorded so that a test can look at the graph that was built.
// A step is named "Name" (every call fails) or "Name#n" (only its n-th call).
struct Faults {
    std::map<std::string, MediaResult> failing; // step name -> the result it gives
    std::vector<std::string> calls;
    std::map<std::string, int> counts;

    MediaResult Check(const std::string& step)
    {
        calls.push_back(step);
        const std::string nth = step + '#' + std::to_string(++counts[step]);
        for (const std::string& name : {step, nth})
            if (const auto found = failing.find(name); found != failing.end())
                return found->second;
        return MediaResult::Ok;
    }
    void Fail(const std::string& step, MediaResult result = MediaResult::Fail) { failing[step] = result; }
};

// The real in-memory timeline, with failures on demand.
class FaultyTimeline final : public Timeline {
public:
    explicit FaultyTimeline(Faults& faults) : faults_(faults) {}

    MediaResult CreateEmptyNode(TimelineNodeKind kind, TimelineNode& node) override
    {
        const char* name = kind == TimelineNodeKind::Group   ? "CreateEmptyNode:group"
                           : kind == TimelineNodeKind::Track ? "CreateEmptyNode:track"
                                                             : "CreateEmptyNode:source";
        return Or(name, [&] { return Timeline::CreateEmptyNode(kind, node); });
    }
    MediaResult SetMediaType(TimelineNode group, const MediaType& type) override
    {
        return Or("SetMediaType", [&] { return Timeline::SetMediaType(group, type); });
    }
    MediaResult SetOutputFPS(TimelineNode group, double fps) override
    {
        return Or("SetOutputFPS", [&] { return Timeline::SetOutputFPS(group, fps); });
    }
    MediaResult VTrackInsBefore(TimelineNode group, TimelineNode track, int priority) override
    {
        return Or("VTrackInsBefore", [&] { return Timeline::VTrackInsBefore(group, track, priority); });
    }
    MediaResult SetStartStop(TimelineNode source, MediaTime start, MediaTime stop) override
    {
        return Or("SetStartStop", [&] { return Timeline::SetStartStop(source, start, stop); });
    }
    MediaResult SetMediaTimes(TimelineNode source, MediaTime start, MediaTime stop) override
    {
        return Or("SetMediaTimes", [&] { return Timeline::SetMediaTimes(source, start, stop); });
    }
    MediaResult SetMediaName(TimelineNode source, const std::string& path) override
    {
        return Or("SetMediaName", [&] { return Timeline::SetMediaName(source, path); });
    }
    MediaResult SetStretchMode(TimelineNode source, int mode) override
    {
        return Or("SetStretchMode", [&] { return Timeline::SetStretchMode(source, mode); });
    }
    MediaResult SrcAdd(TimelineNode track, TimelineNode source) override
    {
        return Or("SrcAdd", [&] { return Timeline::SrcAdd(track, source); });
    }
    MediaResult AddGroup(TimelineNode group) override
    {
        return Or("AddGroup", [&] { return Timeline::AddGroup(group); });
    }
    MediaResult GetGroupCount(int& count) override
    {
        return Or("GetGroupCount", [&] { return Timeline::GetGroupCount(count); });
    }
    MediaResult ValidateSourceNames(int flags) override
    {
        validateFlags = flags;
        return Or("ValidateSourceNames", [&] { return MediaResult::Ok; });
    }

    int validateFlags = 0;

private:
    template <typename Step>
    MediaResult Or(const std::string& name, Step step)
    {
        const MediaResult injected = faults_.Check(name);
        return Failed(injected) ? injected : step();
    }

    Faults& faults_;
};

class FakeGrabber final : public SampleGrabber {
public:
    explicit FakeGrabber(Faults& faults) : faults_(faults) {}
    MediaResult SetMediaType(const MediaType&) override { return faults_.Check("Grabber:SetMediaType"); }
    MediaResult SetCallback(SampleGrabberCallback* cb) override
    {
        SampleGrabber::SetCallback(cb);
        return faults_.Check("Grabber:SetCallback");
    }
    MediaResult SetOneShot(bool) override { return faults_.Check("Grabber:SetOneShot"); }
    MediaResult SetBufferSamples(bool) override { return faults_.Check("Grabber:SetBufferSamples"); }
    MediaResult GetConnectedMediaType(MediaType& type) override
    {
        type = connectedType;
        return faults_.Check("Grabber:GetConnectedMediaType");
    }

    MediaType connectedType = Rgb24VideoType(321, 240);

private:
    Faults& faults_;
};

// A graph that runs nothing: Run succeeds and the test posts the events itself.
class FakeGraph final : public FilterGraph, public MediaControl, public MediaEventSource {
public:
    explicit FakeGraph(Faults& faults) : faults_(faults) {}

    MediaResult AddFilter(const GraphFilter& filter) override
    {
        const MediaResult result = faults_.Check("AddFilter:" + filter.name);
        return Failed(result) ? result : FilterGraph::AddFilter(filter);
    }
    MediaResult SetSyncSource(SyncSource source) override
    {
        const MediaResult result = faults_.Check("SetSyncSource");
        return Failed(result) ? result : FilterGraph::SetSyncSource(source);
    }
    MediaResult Run() override
    {
        const MediaResult result = faults_.Check("Run");
        running = Succeeded(result);
        return result;
    }
    MediaResult Stop() override
    {
        running = false;
        return faults_.Check("Stop");
    }
    MediaResult SetNotify(GraphNotify callback) override
    {
        notify = std::move(callback);
        return faults_.Check("SetNotify");
    }
    MediaResult GetEvent(GraphEvent& event) override
    {
        if (pending.empty())
            return MediaResult::False;
        event = pending.front();
        pending.erase(pending.begin());
        return MediaResult::Ok;
    }

    void Post(GraphEvent event)
    {
        pending.push_back(event);
        if (notify)
            notify();
    }

    std::vector<GraphEvent> pending;
    GraphNotify notify;
    bool running = false;

private:
    Faults& faults_;
};

class FakeRenderEngine final : public RenderEngine {
public:
    // The graph belongs to the services, so a test can look at it after the engine is gone.
    FakeRenderEngine(Faults& faults, FakeGraph& graph) : faults_(faults), graph_(graph) {}
    std::int64_t PictureFrameCount() const override { return 0; }
    MediaResult SetTimelineObject(const Timeline*) override { return faults_.Check("SetTimelineObject"); }
    MediaResult ConnectFrontEnd() override { return faults_.Check("ConnectFrontEnd"); }
    MediaResult GetFilterGraph(FilterGraph*& graph) override
    {
        graph = &graph_;
        return faults_.Check("GetFilterGraph");
    }
    MediaResult GetGroupOutput(int group) override { return faults_.Check("GetGroupOutput:" + std::to_string(group)); }
    MediaControl* Control() override { return Failed(faults_.Check("Control")) ? nullptr : &graph_; }
    MediaEventSource* Events() override { return Failed(faults_.Check("Events")) ? nullptr : &graph_; }
    MediaResult ScrapIt() override
    {
        graph_.running = false;
        return faults_.Check("ScrapIt");
    }

private:
    Faults& faults_;
    FakeGraph& graph_;
};

// Records the connections the steps ask for without checking them.
class FakeBuilder final : public CaptureGraphBuilder {
public:
    explicit FakeBuilder(Faults& faults) : faults_(faults) {}
    MediaResult SetFiltergraph(FilterGraph&) override { return faults_.Check("SetFiltergraph"); }
    MediaResult RenderStream(const GraphConnection& connection) override
    {
        return faults_.Check(connection.through.empty() ? "RenderStream:audio" : "RenderStream:video");
    }

private:
    Faults& faults_;
};

class FakeEditingServices final : public EditingServices {
public:
    MediaResult CreateTimeline(std::unique_ptr<Timeline>& timeline) override
    {
        auto created = std::make_unique<FaultyTimeline>(faults);
        lastTimeline = created.get();
        timeline = std::move(created);
        return faults.Check("CreateTimeline");
    }
    MediaResult CreateRenderEngine(std::unique_ptr<RenderEngine>& engine) override
    {
        graphs.push_back(std::make_unique<FakeGraph>(faults));
        lastGraph = graphs.back().get();
        engine = std::make_unique<FakeRenderEngine>(faults, *lastGraph);
        return faults.Check("CreateRenderEngine");
    }
    MediaResult CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>& builder) override
    {
        builder = std::make_unique<FakeBuilder>(faults);
        return faults.Check("CreateCaptureGraphBuilder");
    }
    MediaResult CreateNullRenderer(GraphFilter& renderer) override
    {
        renderer = GraphFilter{};
        return faults.Check("CreateNullRenderer");
    }
    MediaResult CreateSampleGrabber(std::shared_ptr<SampleGrabber>& grabber) override
    {
        grabber = std::make_shared<FakeGrabber>(faults);
        return faults.Check("CreateSampleGrabber");
    }

    Faults faults;
    std::vector<std::unique_ptr<FakeGraph>> graphs;
    FakeGraph* lastGraph = nullptr;
    FaultyTimeline* lastTimeline = nullptr; // owned by whoever asked for it
};
