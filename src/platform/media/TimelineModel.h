#pragma once

#include "platform/media/Timeline.h"

#include <variant>

// The in-memory timeline of this platform.
class TimelineModel final : public Timeline {
public:
    TimelineModel() = default;
    TimelineModel(const TimelineModel&) = delete;
    TimelineModel& operator=(const TimelineModel&) = delete;

    MediaResult CreateEmptyNode(TimelineNodeKind kind, TimelineNode& node) override;
    MediaResult SetMediaType(TimelineNode group, const MediaType& type) override;
    MediaResult SetOutputFPS(TimelineNode group, double fps) override;
    MediaResult VTrackInsBefore(TimelineNode group, TimelineNode track, int priority) override;
    MediaResult SetStartStop(TimelineNode source, MediaTime start, MediaTime stop) override;
    MediaResult SetMediaTimes(TimelineNode source, MediaTime start, MediaTime stop) override;
    MediaResult SetMediaName(TimelineNode source, const std::string& path) override;
    MediaResult SetStretchMode(TimelineNode source, int mode) override;
    MediaResult SrcAdd(TimelineNode track, TimelineNode source) override;
    MediaResult AddGroup(TimelineNode group) override;
    MediaResult GetGroupCount(int& count) override;
    MediaResult ValidateSourceNames(int flags) override;
    std::vector<TimelineGroupSpec> Groups() const override;

private:
    struct GroupNode {
        MediaType mediaType;
        double outputFps = 0.0;
        std::vector<TimelineNode> tracks;
    };
    struct TrackNode {
        std::vector<TimelineNode> sources;
        bool linked = false;
    };
    struct SourceNode {
        TimelineSourceSpec description;
        bool linked = false;
    };
    using Node = std::variant<GroupNode, TrackNode, SourceNode>;

    template <typename T>
    T* Find(TimelineNode node);
    template <typename T>
    const T& Get(TimelineNode node) const;
    TimelineTrackSpec TrackSpec(TimelineNode track) const;

    std::vector<Node> nodes_;           // indexed by TimelineNode
    std::vector<TimelineNode> groups_;  // added groups, in order
};
