#pragma once

#include "platform/media/FilterGraph.h"
#include "platform/media/Timeline.h"

// Turns a timeline into a graph with one output pin per group.
class RenderEngine {
public:
    virtual ~RenderEngine() = default;
    // The timeline is not owned; it must outlive the engine or its ScrapIt.
    virtual MediaResult SetTimelineObject(Timeline* timeline) = 0;
    virtual MediaResult GetTimelineObject(Timeline*& timeline) = 0;
    // Builds the sources, decoders, scalers and rate conversion of every group.
    virtual MediaResult ConnectFrontEnd() = 0;
    // The engine owns the graph and the pins; they live until ScrapIt.
    virtual MediaResult GetFilterGraph(FilterGraph*& graph) = 0;
    virtual MediaResult GetGroupOutputPin(int group, OutputPin*& pin) = 0;
    // Stops and destroys the graph; the filters added to it are let go.
    virtual MediaResult ScrapIt() = 0;
};
