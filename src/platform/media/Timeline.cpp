#include "platform/media/Timeline.h"

#include "platform/media/MediaInput.h"

#include <algorithm>
#include <cmath>

namespace {

// Whether a file opens as media: the one check a timeline can make without
// decoding.
MediaResult CheckSourceFile(const std::string& path)
{
    AVFormatContext* raw = nullptr;
    const int opened = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    const InputHandle format(raw);
    if (opened == AVERROR(ENOENT))
        return MediaResult::FileNotFound;
    return opened < 0 ? MediaResult::CannotRender : MediaResult::Ok;
}

} // namespace

template <typename T>
T* Timeline::Find(TimelineNode node)
{
    if (node < 0 || static_cast<std::size_t>(node) >= nodes_.size())
        return nullptr;
    return std::get_if<T>(&nodes_[static_cast<std::size_t>(node)]);
}

template <typename T>
const T& Timeline::Get(TimelineNode node) const
{
    return std::get<T>(nodes_[static_cast<std::size_t>(node)]);
}

MediaResult Timeline::CreateEmptyNode(TimelineNodeKind kind, TimelineNode& node)
{
    switch (kind) {
    case TimelineNodeKind::Group: nodes_.emplace_back(GroupNode{}); break;
    case TimelineNodeKind::Track: nodes_.emplace_back(TrackNode{}); break;
    case TimelineNodeKind::Source: nodes_.emplace_back(SourceNode{}); break;
    default: return MediaResult::InvalidArg;
    }
    node = static_cast<TimelineNode>(nodes_.size() - 1);
    return MediaResult::Ok;
}

MediaResult Timeline::SetMediaType(TimelineNode group, const MediaType& type)
{
    GroupNode* found = Find<GroupNode>(group);
    if (!found)
        return MediaResult::InvalidArg;
    const bool video = type.majortype == MajorType::Video && type.subtype == SubType::Rgb24 &&
                       type.formattype == FormatType::VideoInfo && type.bmiHeader.biWidth > 0 &&
                       type.bmiHeader.biHeight > 0 && type.bmiHeader.biBitCount == 24;
    if (!video && type.majortype != MajorType::Audio)
        return MediaResult::InvalidArg; // the engine renders RGB24 video and sound only
    found->mediaType = type;
    return MediaResult::Ok;
}

MediaResult Timeline::SetOutputFPS(TimelineNode group, double fps)
{
    GroupNode* found = Find<GroupNode>(group);
    if (!found || !std::isfinite(fps) || fps <= 0.0)
        return MediaResult::InvalidArg;
    found->outputFps = fps;
    return MediaResult::Ok;
}

MediaResult Timeline::SetVideoProcessing(TimelineNode group, const VideoProcessing& processing)
{
    GroupNode* found = Find<GroupNode>(group);
    if (!found)
        return MediaResult::InvalidArg;
    found->processing = processing;
    return MediaResult::Ok;
}

MediaResult Timeline::VTrackInsBefore(TimelineNode group, TimelineNode track, int priority)
{
    GroupNode* owner = Find<GroupNode>(group);
    TrackNode* inserted = Find<TrackNode>(track);
    if (!owner || !inserted || inserted->linked)
        return MediaResult::InvalidArg;
    std::vector<TimelineNode>& tracks = owner->tracks;
    const bool append = priority < 0 || static_cast<std::size_t>(priority) >= tracks.size();
    tracks.insert(append ? tracks.end() : tracks.begin() + priority, track);
    inserted->linked = true;
    return MediaResult::Ok;
}

MediaResult Timeline::SetStartStop(TimelineNode source, MediaTime start, MediaTime stop)
{
    SourceNode* found = Find<SourceNode>(source);
    if (!found || start < 0 || stop <= start)
        return MediaResult::InvalidArg;
    found->description.start = start;
    found->description.stop = stop;
    return MediaResult::Ok;
}

MediaResult Timeline::SetMediaTimes(TimelineNode source, MediaTime start, MediaTime stop)
{
    SourceNode* found = Find<SourceNode>(source);
    if (!found || start < 0 || stop <= start)
        return MediaResult::InvalidArg;
    found->description.mediaStart = start;
    found->description.mediaStop = stop;
    return MediaResult::Ok;
}

MediaResult Timeline::SetMediaName(TimelineNode source, const std::string& path)
{
    SourceNode* found = Find<SourceNode>(source);
    if (!found || path.empty())
        return MediaResult::InvalidArg;
    found->description.mediaName = path;
    return MediaResult::Ok;
}

MediaResult Timeline::SetStretchMode(TimelineNode source, int mode)
{
    SourceNode* found = Find<SourceNode>(source);
    if (!found || (mode != RESIZEF_STRETCH && mode != RESIZEF_PRESERVEASPECTRATIO))
        return MediaResult::InvalidArg;
    found->description.stretchMode = mode;
    return MediaResult::Ok;
}

MediaResult Timeline::SrcAdd(TimelineNode track, TimelineNode source)
{
    TrackNode* owner = Find<TrackNode>(track);
    SourceNode* added = Find<SourceNode>(source);
    if (!owner || !added || added->linked)
        return MediaResult::InvalidArg;
    if (added->description.stop <= added->description.start || added->description.mediaName.empty())
        return MediaResult::InvalidArg; // a source without times or file cannot play
    owner->sources.push_back(source);
    added->linked = true;
    return MediaResult::Ok;
}

MediaResult Timeline::AddGroup(TimelineNode group)
{
    const GroupNode* found = Find<GroupNode>(group);
    if (!found || found->mediaType.majortype == MajorType::None)
        return MediaResult::InvalidArg;
    if (std::find(groups_.begin(), groups_.end(), group) != groups_.end())
        return MediaResult::InvalidArg;
    if (found->mediaType.majortype == MajorType::Video && found->outputFps <= 0.0)
        return MediaResult::InvalidArg;
    groups_.push_back(group);
    return MediaResult::Ok;
}

MediaResult Timeline::GetGroupCount(int& count)
{
    count = static_cast<int>(groups_.size());
    return MediaResult::Ok;
}

MediaResult Timeline::ValidateSourceNames(int flags)
{
    if (!(flags & SFN_VALIDATEF_CHECK))
        return MediaResult::Ok;
    for (const TimelineGroupSpec& group : Groups())
        for (const TimelineTrackSpec& track : group.tracks)
            for (const TimelineSourceSpec& source : track.sources)
                if (const MediaResult result = CheckSourceFile(source.mediaName); Failed(result))
                    return result;
    return MediaResult::Ok;
}

TimelineTrackSpec Timeline::TrackSpec(TimelineNode track) const
{
    TimelineTrackSpec description;
    for (const TimelineNode source : Get<TrackNode>(track).sources)
        description.sources.push_back(Get<SourceNode>(source).description);
    return description;
}

std::vector<TimelineGroupSpec> Timeline::Groups() const
{
    std::vector<TimelineGroupSpec> groups;
    for (const TimelineNode node : groups_) {
        const GroupNode& group = Get<GroupNode>(node);
        TimelineGroupSpec& description = groups.emplace_back();
        description.mediaType = group.mediaType;
        description.outputFps = group.outputFps;
        description.processing = group.processing;
        for (const TimelineNode track : group.tracks)
            description.tracks.push_back(TrackSpec(track));
    }
    return groups;
}
