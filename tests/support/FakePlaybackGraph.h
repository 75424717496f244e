#pragma once

#include "platform/media/PlaybackGraph.h"

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The answers and the record of a fake playback graph, shared with the test
// so that it can be read after the player has released the graph.
struct FakePlaybackState {
    MediaResult create = MediaResult::Ok;
    MediaResult render = MediaResult::Ok;
    MediaResult run = MediaResult::Ok;
    MediaResult pause = MediaResult::Ok;
    MediaResult stop = MediaResult::Ok;
    MediaResult setRate = MediaResult::Ok;
    MediaResult setPosition = MediaResult::Ok;
    MediaResult step = MediaResult::Ok;
    MediaResult getCurrent = MediaResult::Ok;
    MediaResult getStop = MediaResult::Ok;
    MediaResult videoSize = MediaResult::Ok;
    MediaResult visible = MediaResult::Ok;
    MediaResult setVideoWindow = MediaResult::Ok;
    MediaResult setNotify = MediaResult::Ok;

    int width = 320;
    int height = 240;
    MediaTime current = 0;
    MediaTime length = 10 * kMediaUnitsPerSecond;
    MediaTime frame = kMediaUnitsPerSecond / 25; // a step moves by this

    std::vector<std::string> calls;
    std::string path;
    NativeWindowId videoWindow = 0;
    PlaybackProcessing processing; // as the player last set it
    bool alive = false;           // a graph exists
    int graphsCreated = 0;

    // Events may be posted from any thread, as a real graph does.
    std::mutex eventLock;
    std::deque<GraphEvent> events;
    GraphNotify notify;

    void PostEvent(long code)
    {
        GraphNotify copy;
        {
            const std::lock_guard<std::mutex> lock(eventLock);
            events.push_back(GraphEvent{code, 0, 0});
            copy = notify;
        }
        if (copy)
            copy();
    }

    int Count(const std::string& call) const
    {
        int count = 0;
        for (const std::string& made : calls)
            count += made == call ? 1 : 0;
        return count;
    }
};

class FakePlaybackGraph final : public PlaybackGraph {
public:
    explicit FakePlaybackGraph(std::shared_ptr<FakePlaybackState> state) : state_(std::move(state))
    {
        state_->alive = true;
    }
    ~FakePlaybackGraph() override { state_->alive = false; }

    MediaResult SetNotify(GraphNotify notify) override
    {
        Record(notify ? "SetNotify" : "ClearNotify");
        if (Failed(state_->setNotify))
            return state_->setNotify;
        const std::lock_guard<std::mutex> lock(state_->eventLock);
        state_->notify = std::move(notify);
        return MediaResult::Ok;
    }
    MediaResult GetEvent(GraphEvent& event) override
    {
        const std::lock_guard<std::mutex> lock(state_->eventLock);
        if (state_->events.empty())
            return MediaResult::False;
        event = state_->events.front();
        state_->events.pop_front();
        return MediaResult::Ok;
    }
    MediaResult RenderFile(const std::string& path) override
    {
        Record("RenderFile");
        state_->path = path;
        return state_->render;
    }
    MediaResult Run() override { return Record("Run", state_->run); }
    MediaResult Pause() override { return Record("Pause", state_->pause); }
    MediaResult Stop() override { return Record("Stop", state_->stop); }
    MediaResult SetRate(double rate) override { return Record("SetRate:" + std::to_string(rate), state_->setRate); }
    MediaResult SetCurrentPosition(MediaTime position) override
    {
        Record("Seek:" + std::to_string(position));
        if (Succeeded(state_->setPosition))
            state_->current = position;
        return state_->setPosition;
    }
    MediaResult StepFrame(FrameStep step) override
    {
        const bool forward = step == FrameStep::Forward;
        Record(forward ? "StepForward" : "StepBack");
        if (Succeeded(state_->step))
            state_->current += forward ? state_->frame : -state_->frame;
        return state_->step;
    }
    MediaResult GetCurrentPosition(MediaTime& position) override
    {
        if (Succeeded(state_->getCurrent))
            position = state_->current;
        return state_->getCurrent;
    }
    MediaResult GetStopPosition(MediaTime& position) override
    {
        if (Succeeded(state_->getStop))
            position = state_->length;
        return state_->getStop;
    }
    MediaResult GetVideoSize(int& width, int& height) override
    {
        if (Succeeded(state_->videoSize)) {
            width = state_->width;
            height = state_->height;
        }
        return state_->videoSize;
    }
    MediaResult GetVisible(bool& visible) override
    {
        visible = Succeeded(state_->visible);
        return state_->visible;
    }
    MediaResult SetVideoWindow(NativeWindowId window) override
    {
        Record(window ? "SetVideoWindow" : "DetachVideoWindow");
        if (Succeeded(state_->setVideoWindow))
            state_->videoWindow = window;
        return state_->setVideoWindow;
    }

    MediaResult SetProcessing(const PlaybackProcessing& processing) override
    {
        Record("SetProcessing");
        state_->processing = processing;
        return MediaResult::Ok;
    }

private:
    void Record(const std::string& call) { state_->calls.push_back(call); }
    MediaResult Record(const std::string& call, MediaResult result)
    {
        Record(call);
        return result;
    }

    std::shared_ptr<FakePlaybackState> state_;
};

// Hands out fake graphs that all share one state; the creation can fail.
class FakePlaybackServices final : public PlaybackServices {
public:
    MediaResult CreatePlaybackGraph(std::unique_ptr<PlaybackGraph>& graph) override
    {
        if (Failed(state->create))
            return state->create;
        ++state->graphsCreated;
        graph = std::make_unique<FakePlaybackGraph>(state);
        return MediaResult::Ok;
    }

    std::shared_ptr<FakePlaybackState> state = std::make_shared<FakePlaybackState>();
};
