#pragma once

#include "platform/media/PlaybackGraph.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class FakePlaybackGraph;

// The record of a fake playback graph, shared with the test so that it can be
// read after the player has released the graph. The test says what the graph
// learns, and when, through the live graph.
struct FakePlaybackState {
    MediaResult create = MediaResult::Ok;

    std::vector<std::string> calls;
    std::string path;
    NativeWindowId videoWindow = 0;
    VideoProcessing processing; // as the player last set it
    FakePlaybackGraph* graph = nullptr; // the live graph, null when none exists
    int graphsCreated = 0;
    bool windowAliveAtRelease = false;  // the video window still existed when the graph went

    int Count(const std::string& call) const
    {
        int count = 0;
        for (const std::string& made : calls)
            count += made == call ? 1 : 0;
        return count;
    }
};

// Records every call; a seek or step lands, and the file opens or fails, when
// the test says so.
class FakePlaybackGraph final : public PlaybackGraph {
public:
    explicit FakePlaybackGraph(std::shared_ptr<FakePlaybackState> state) : state_(std::move(state))
    {
        state_->graph = this;
    }
    ~FakePlaybackGraph() override
    {
        state_->windowAliveAtRelease = state_->videoWindow && QWidget::find(state_->videoWindow);
        state_->graph = nullptr;
    }

    void Open(const std::string& path) override
    {
        Record("Open");
        state_->path = path;
    }
    void Run() override { Record("Run"); }
    void Pause() override { Record("Pause"); }
    void Seek(MediaTime position) override
    {
        Record("Seek:" + std::to_string(position));
        target_ = position;
    }
    void StepFrame(FrameStep step) override
    {
        const bool forward = step == FrameStep::Forward;
        Record(forward ? "StepForward" : "StepBack");
        target_ += forward ? kFrame : -kFrame;
    }
    void SetVideoWindow(NativeWindowId window) override
    {
        Record(window ? "SetVideoWindow" : "DetachVideoWindow");
        state_->videoWindow = window;
    }
    void SetProcessing(const VideoProcessing& processing) override
    {
        state_->processing = processing;
    }

    // The file opens: its tracks, then its length and picture size.
    void FinishOpen(bool hasVideo = true, MediaTime length = 10 * kMediaUnitsPerSecond, QSize size = {320, 240})
    {
        Q_EMIT Opened(hasVideo);
        Q_EMIT LengthChanged(length);
        if (hasVideo)
            Q_EMIT VideoSizeChanged(size);
    }
    // Every seek and step asked for lands where they add up to.
    void Land() { Q_EMIT SeekFinished(target_); }

    static constexpr MediaTime kFrame = kMediaUnitsPerSecond / 25; // a step moves by this

private:
    void Record(const std::string& call) { state_->calls.push_back(call); }

    std::shared_ptr<FakePlaybackState> state_;
    MediaTime target_ = 0;
};

// Hands out fake graphs that all share one state; the creation can fail.
class FakePlaybackServices final : public PlaybackServices {
public:
    CreatedPlaybackGraph CreatePlaybackGraph() override
    {
        if (Failed(state->create))
            return {nullptr, state->create};
        ++state->graphsCreated;
        return {std::make_unique<FakePlaybackGraph>(state), MediaResult::Ok};
    }

    std::shared_ptr<FakePlaybackState> state = std::make_shared<FakePlaybackState>();
};
