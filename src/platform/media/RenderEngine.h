#pragma once

#include "platform/media/FilterGraph.h"
#include "platform/media/Timeline.h"

#include <cstdint>

// Renders a timeline through the capture graph built for it: the frames of
// its picture group reach the grabber's callback on a streaming thread of its
// own, and the end is reported as an event. Every step is a call a fake can
// fail.
class RenderEngine {
public:
    virtual ~RenderEngine() = default;
    // The timeline is not owned; it must outlive the engine or its ScrapIt.
    virtual MediaResult SetTimelineObject(const Timeline* timeline) = 0;
    // Opens the sources of the picture group and makes an empty graph with
    // one output per group.
    virtual MediaResult ConnectFrontEnd() = 0;
    // The engine owns the graph; it lives until ScrapIt.
    virtual MediaResult GetFilterGraph(FilterGraph*& graph) = 0;
    // Whether the graph has an output for this group.
    virtual MediaResult GetGroupOutput(int group) = 0;
    // How many frames of the picture group the grabber's callback is asked
    // about when the sources hold pictures to the end of their ranges: an
    // instant before the first picture of a source has none. Known once the
    // front end is connected; it does not change while the graph runs.
    virtual std::int64_t PictureFrameCount() const = 0;
    // How the run is started and stopped, and where its events wait; null
    // when the engine cannot offer them.
    virtual MediaControl* Control() = 0;
    virtual MediaEventSource* Events() = 0;
    // Stops streaming and lets go of the graph and the sources.
    virtual MediaResult ScrapIt() = 0;
};
