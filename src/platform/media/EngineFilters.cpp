#include "platform/media/EngineFilters.h"

MediaResult EngineSampleGrabber::SetMediaType(const MediaType& type)
{
    if (type.majortype != MajorType::Video || (type.subtype != SubType::Rgb24 && type.subtype != SubType::None))
        return MediaResult::InvalidArg; // the engine delivers RGB24 video only
    accepted_ = type;
    return MediaResult::Ok;
}

MediaResult EngineSampleGrabber::SetCallback(SampleGrabberCallback* callback)
{
    callback_.store(callback);
    return MediaResult::Ok;
}

MediaResult EngineSampleGrabber::SetOneShot(bool oneShot)
{
    return oneShot ? MediaResult::NotImplemented : MediaResult::Ok;
}

MediaResult EngineSampleGrabber::SetBufferSamples(bool buffer)
{
    return buffer ? MediaResult::NotImplemented : MediaResult::Ok;
}

MediaResult EngineSampleGrabber::GetConnectedMediaType(MediaType& type)
{
    if (!connected_)
        return MediaResult::NotConnected;
    type = *connected_;
    return MediaResult::Ok;
}

bool EngineSampleGrabber::Accepts(const MediaType& type) const
{
    if (accepted_.majortype == MajorType::None)
        return false; // a grabber without a type connects to nothing
    return type.majortype == accepted_.majortype &&
           (accepted_.subtype == SubType::None || type.subtype == accepted_.subtype);
}

bool EngineSampleGrabber::JoinGraph(const FilterGraph* graph)
{
    if (graph && graph_ && graph_ != graph)
        return false;
    graph_ = graph;
    if (!graph)
        connected_.reset();
    return true;
}

bool EngineSampleGrabber::NeedsBuffer()
{
    SampleGrabberCallback* callback = callback_.load();
    return callback && callback->NeedsBuffer();
}

void EngineSampleGrabber::Deliver(double sampleTime, std::uint8_t* buffer, long length)
{
    if (SampleGrabberCallback* callback = callback_.load())
        callback->BufferCB(sampleTime, buffer, length);
}
