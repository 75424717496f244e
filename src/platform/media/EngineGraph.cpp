#include "platform/media/EngineGraph.h"

#include <algorithm>

EngineGraph::EngineGraph(std::vector<Group> groups) : groups_(std::move(groups))
{
    for (const Group& group : groups_)
        pins_.push_back(std::make_unique<EnginePin>(group.mediaType));
}

EngineGraph::~EngineGraph()
{
    Stop();
    for (auto& [filter, name] : filters_)
        if (auto* grabber = dynamic_cast<EngineSampleGrabber*>(filter.get()))
            grabber->JoinGraph(nullptr);
}

MediaResult EngineGraph::AddFilter(std::shared_ptr<Filter> filter, const std::string& name)
{
    if (!filter)
        return MediaResult::Pointer;
    if (Contains(filter.get()) || !threads_.empty())
        return MediaResult::WrongState;
    if (auto* grabber = dynamic_cast<EngineSampleGrabber*>(filter.get()); grabber && !grabber->JoinGraph(this))
        return MediaResult::WrongState; // still in the graph of an earlier conversion
    filters_.emplace_back(std::move(filter), name);
    return MediaResult::Ok;
}

std::vector<std::string> EngineGraph::FilterNames() const
{
    std::vector<std::string> names;
    for (const auto& [filter, name] : filters_)
        names.push_back(name);
    return names;
}

MediaResult EngineGraph::QueryMediaControl(MediaControl*& control)
{
    control = this;
    return MediaResult::Ok;
}

MediaResult EngineGraph::QueryMediaEvent(MediaEventSource*& events)
{
    events = this;
    return MediaResult::Ok;
}

MediaResult EngineGraph::QueryMediaFilter(MediaFilter*& filter)
{
    filter = this;
    return MediaResult::Ok;
}

OutputPin* EngineGraph::Pin(int group)
{
    if (group < 0 || static_cast<std::size_t>(group) >= pins_.size())
        return nullptr;
    return pins_[static_cast<std::size_t>(group)].get();
}

bool EngineGraph::Contains(const Filter* filter) const
{
    return std::any_of(filters_.begin(), filters_.end(), [filter](const auto& held) { return held.first.get() == filter; });
}

MediaResult EngineGraph::Connect(OutputPin& pin, Filter* intermediate, Filter& renderer)
{
    const auto found = std::find_if(pins_.begin(), pins_.end(), [&pin](const auto& own) { return own.get() == &pin; });
    if (found == pins_.end())
        return MediaResult::InvalidArg;
    EnginePin& own = **found;
    if (own.connected || !threads_.empty())
        return MediaResult::WrongState;
    if (!Contains(&renderer) || (intermediate && !Contains(intermediate)))
        return MediaResult::InvalidArg; // the builder connects filters of this graph only
    if (!dynamic_cast<NullRendererFilter*>(&renderer))
        return MediaResult::CannotConnect;
    if (intermediate)
        if (const MediaResult through = ConnectThrough(own, *intermediate); Failed(through))
            return through;
    own.connected = true;
    return MediaResult::Ok;
}

MediaResult EngineGraph::ConnectThrough(EnginePin& pin, Filter& intermediate)
{
    auto* grabber = dynamic_cast<EngineSampleGrabber*>(&intermediate);
    if (!grabber || grabber->IsConnected() || !grabber->Accepts(pin.Type()))
        return MediaResult::CannotConnect;
    grabber->Connect(pin.Type());
    pin.grabber = grabber;
    return MediaResult::Ok;
}

MediaResult EngineGraph::SetSyncSource(SyncSource source)
{
    if (!threads_.empty())
        return MediaResult::WrongState;
    useClock_ = source == SyncSource::ReferenceClock;
    return MediaResult::Ok;
}

MediaResult EngineGraph::Run()
{
    if (!threads_.empty())
        return MediaResult::Ok;
    stop_ = false;
    std::vector<std::size_t> streamed;
    for (std::size_t g = 0; g < groups_.size(); ++g)
        if (groups_[g].streamer && pins_[g]->connected)
            streamed.push_back(g);
    {
        const std::lock_guard lock(mutex_);
        streaming_ = streamed.size();
        failed_ = false;
        started_ = std::chrono::steady_clock::now();
    }
    if (streamed.empty())
        Post(GraphEvent{EC_COMPLETE, 0, 0});
    for (const std::size_t g : streamed)
        threads_.emplace_back(&EngineGraph::StreamGroup, this, g);
    return MediaResult::Ok;
}

MediaResult EngineGraph::Stop()
{
    stop_ = true;
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
    threads_.clear();
    return MediaResult::Ok;
}

void EngineGraph::StreamGroup(std::size_t group)
{
    const GroupStreamer::Pacer pacer = [this](MediaTime t) { return WaitUntilDue(t); };
    Finished(groups_[group].streamer->Stream(pins_[group]->grabber, pacer, stop_));
}

bool EngineGraph::WaitUntilDue(MediaTime t)
{
    if (!useClock_)
        return !stop_;
    std::unique_lock lock(mutex_);
    const auto due = started_ + std::chrono::microseconds(t / 10);
    wake_.wait_until(lock, due, [this] { return stop_.load(); });
    return !stop_;
}

void EngineGraph::Finished(MediaResult result)
{
    GraphEvent event;
    {
        const std::lock_guard lock(mutex_);
        --streaming_;
        if (result == MediaResult::Aborted || failed_)
            return;
        if (Failed(result)) {
            failed_ = true; // one error ends the whole graph
            stop_ = true;
            event = GraphEvent{EC_ERRORABORT, static_cast<long>(ResultCode(result)), 0};
        } else if (streaming_ > 0) {
            return;
        } else {
            event = GraphEvent{EC_COMPLETE, 0, 0};
        }
    }
    wake_.notify_all();
    Post(event);
}

void EngineGraph::Post(GraphEvent event)
{
    GraphNotify notify;
    {
        const std::lock_guard lock(mutex_);
        events_.push_back(event);
        notify = notify_;
    }
    if (notify)
        notify();
}

MediaResult EngineGraph::SetNotify(GraphNotify notify)
{
    const std::lock_guard lock(mutex_);
    notify_ = std::move(notify);
    return MediaResult::Ok;
}

MediaResult EngineGraph::GetEvent(GraphEvent& event)
{
    const std::lock_guard lock(mutex_);
    if (events_.empty())
        return MediaResult::False;
    event = events_.front();
    events_.pop_front();
    return MediaResult::Ok;
}
