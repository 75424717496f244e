#pragma once

#include "platform/media/ProbeGraph.h"

#include <memory>
#include <string>
#include <vector>

// What a fake probe answers and what it was asked; shared with the test so it
// outlives the throw-away graphs.
struct FakeProbeScript {
    MediaResult render = MediaResult::Ok;
    MediaResult stopPosition = MediaResult::Ok;
    MediaResult duration = MediaResult::Ok;
    MediaResult videoSize = MediaResult::Ok;
    MediaResult frameTime = MediaResult::Ok;
    MediaTime length = 10 * kMediaUnitsPerSecond;
    int width = 320;
    int height = 240;
    double secondsPerFrame = 0.04;
    std::vector<std::string> calls;   // "RenderFile:<path>", "GetStopPosition", ...
    int graphsCreated = 0;
};

class FakeProbeGraph final : public ProbeGraph {
public:
    explicit FakeProbeGraph(std::shared_ptr<FakeProbeScript> script) : script_(std::move(script)) {}

    MediaResult RenderFile(const std::string& path) override
    {
        script_->calls.push_back("RenderFile:" + path);
        return script_->render;
    }
    MediaResult GetStopPosition(MediaTime& stop) override
    {
        script_->calls.push_back("GetStopPosition");
        return Answer(script_->stopPosition, stop, script_->length);
    }
    MediaResult GetDuration(MediaTime& duration) override
    {
        script_->calls.push_back("GetDuration");
        return Answer(script_->duration, duration, script_->length);
    }
    MediaResult GetVideoSize(int& width, int& height) override
    {
        script_->calls.push_back("GetVideoSize");
        if (Succeeded(script_->videoSize)) {
            width = script_->width;
            height = script_->height;
        }
        return script_->videoSize;
    }
    MediaResult GetAvgTimePerFrame(double& seconds) override
    {
        script_->calls.push_back("GetAvgTimePerFrame");
        return Answer(script_->frameTime, seconds, script_->secondsPerFrame);
    }

private:
    template <typename T>
    static MediaResult Answer(MediaResult result, T& out, T value)
    {
        if (Succeeded(result))
            out = value;
        return result;
    }

    std::shared_ptr<FakeProbeScript> script_;
};

// A factory for ProbeGraphFactory: nullptr while failCreation is set.
struct FakeProbeFactory {
    std::shared_ptr<FakeProbeScript> script = std::make_shared<FakeProbeScript>();
    bool failCreation = false;

    std::unique_ptr<ProbeGraph> operator()() const
    {
        if (failCreation)
            return nullptr;
        ++script->graphsCreated;
        return std::make_unique<FakeProbeGraph>(script);
    }
};
