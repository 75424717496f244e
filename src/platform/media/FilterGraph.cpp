#include "platform/media/FilterGraph.h"

#include <algorithm>

MediaResult SampleGrabber::SetMediaType(const MediaType& type)
{
    if (type.majortype != MajorType::Video || (type.subtype != SubType::Rgb24 && type.subtype != SubType::None))
        return MediaResult::InvalidArg; // the engine delivers RGB24 video only
    accepted_ = type;
    return MediaResult::Ok;
}

MediaResult SampleGrabber::SetCallback(SampleGrabberCallback* callback)
{
    callback_.store(callback);
    return MediaResult::Ok;
}

MediaResult SampleGrabber::SetOneShot(bool oneShot)
{
    return oneShot ? MediaResult::NotImplemented : MediaResult::Ok;
}

MediaResult SampleGrabber::SetBufferSamples(bool buffer)
{
    return buffer ? MediaResult::NotImplemented : MediaResult::Ok;
}

MediaResult SampleGrabber::GetConnectedMediaType(MediaType& type)
{
    if (!connected_)
        return MediaResult::NotConnected;
    type = *connected_;
    return MediaResult::Ok;
}

bool SampleGrabber::Accepts(const MediaType& type) const
{
    if (accepted_.majortype == MajorType::None)
        return false; // a grabber without a type connects to nothing
    return type.majortype == accepted_.majortype &&
           (accepted_.subtype == SubType::None || type.subtype == accepted_.subtype);
}

// The grabber outlives the graph and may join the next one.
FilterGraph::~FilterGraph()
{
    for (const GraphFilter& filter : filters_)
        if (filter.grabber)
            filter.grabber->Disconnect();
}

const GraphFilter* FilterGraph::Find(const std::string& name) const
{
    const auto found =
        std::find_if(filters_.begin(), filters_.end(), [&name](const GraphFilter& held) { return held.name == name; });
    return found == filters_.end() ? nullptr : &*found;
}

MediaResult FilterGraph::AddFilter(const GraphFilter& filter)
{
    if (locked_ || Find(filter.name))
        return MediaResult::WrongState;
    if (filter.grabber && filter.grabber->IsConnected())
        return MediaResult::WrongState; // still in the graph of an earlier conversion
    filters_.push_back(filter);
    return MediaResult::Ok;
}

MediaResult FilterGraph::Connect(const GraphConnection& connection)
{
    if (connection.group < 0 || static_cast<std::size_t>(connection.group) >= groups_.size())
        return MediaResult::InvalidArg;
    if (locked_ || std::any_of(connections_.begin(), connections_.end(),
                               [&connection](const GraphConnection& made) { return made.group == connection.group; }))
        return MediaResult::WrongState;
    const GraphFilter* renderer = Find(connection.renderer);
    const GraphFilter* through = connection.through.empty() ? nullptr : Find(connection.through);
    if (!renderer || (!connection.through.empty() && !through))
        return MediaResult::InvalidArg; // only filters of this graph connect
    if (renderer->grabber)
        return MediaResult::CannotConnect; // a stream ends in a null renderer
    if (through) {
        const MediaType& type = groups_[static_cast<std::size_t>(connection.group)];
        SampleGrabber* grabber = through->grabber.get();
        if (!grabber || grabber->IsConnected() || !grabber->Accepts(type))
            return MediaResult::CannotConnect;
        grabber->Connect(type);
    }
    connections_.push_back(connection);
    return MediaResult::Ok;
}

MediaResult FilterGraph::SetSyncSource(SyncSource source)
{
    if (locked_)
        return MediaResult::WrongState;
    sync_ = source;
    return MediaResult::Ok;
}

std::vector<std::string> FilterGraph::FilterNames() const
{
    std::vector<std::string> names;
    for (const GraphFilter& filter : filters_)
        names.push_back(filter.name);
    return names;
}

SampleGrabber* FilterGraph::GrabberOf(int group) const
{
    for (const GraphConnection& connection : connections_)
        if (connection.group == group && !connection.through.empty())
            return Find(connection.through)->grabber.get();
    return nullptr;
}

MediaResult CaptureGraphBuilder::SetFiltergraph(FilterGraph& graph)
{
    graph_ = &graph;
    return MediaResult::Ok;
}

MediaResult CaptureGraphBuilder::RenderStream(const GraphConnection& connection)
{
    return graph_ ? graph_->Connect(connection) : MediaResult::WrongState;
}
