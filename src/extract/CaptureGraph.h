#pragma once

#include "platform/media/FilterGraph.h"
#include "platform/media/MediaResult.h"

#include <functional>
#include <memory>
#include <optional>

class ConversionReporter;
class EditingServices;
class RenderEngine;
class Timeline;

// What a running conversion holds: control and events belong to the engine.
struct RunningCapture {
    std::unique_ptr<RenderEngine> renderEngine;
    MediaControl* control = nullptr;
    MediaEventSource* events = nullptr;
};

// Where the frames go and what to do once the graph runs.
struct CaptureSinks {
    std::shared_ptr<SampleGrabber> grabber;
    SampleGrabberCallback* callback = nullptr;
    // Called (from any thread) when graph events are waiting.
    GraphNotify notify;
};

// Builds the render engine for the timeline and the capture graph behind it
// (the picture group through the grabber into a null renderer, every sound
// group into a second one, no clock), and runs it. A failing step shows its
// messages and yields nothing.
std::optional<RunningCapture> StartCapture(EditingServices& services, const ConversionReporter& reporter,
                                           Timeline& timeline, const CaptureSinks& sinks);

// Frames flow as fast as they decode.
MediaResult SetNoClock(FilterGraph& graph, const ConversionReporter& reporter);

// Connects the callback to the grabber and checks that it is connected.
MediaResult SetGrabberCallbackFunction(const ConversionReporter& reporter, const CaptureSinks& sinks);
