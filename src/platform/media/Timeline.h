#pragma once

#include "platform/media/MediaResult.h"
#include "platform/media/MediaTime.h"
#include "platform/media/MediaType.h"
#include "platform/media/VideoProcessing.h"

#include <string>
#include <variant>
#include <vector>

// Kinds of timeline nodes, numbered as the program names them.
enum class TimelineNodeKind { Track = 2, Source = 4, Group = 128 };

// A node of one timeline, as handed out by CreateEmptyNode.
using TimelineNode = int;

// Stretch modes of a video source.
inline constexpr int RESIZEF_STRETCH = 0;
inline constexpr int RESIZEF_PRESERVEASPECTRATIO = 2;

// Flags of ValidateSourceNames; this platform has no dialog to look for a
// missing file, so only the check itself has an effect.
inline constexpr int SFN_VALIDATEF_CHECK = 1;
inline constexpr int SFN_VALIDATEF_POPUP = 2;
inline constexpr int SFN_VALIDATEF_REPLACE = 8;

struct TimelineSourceSpec {
    MediaTime start = 0;      // timeline time at which the source begins
    MediaTime stop = 0;       // timeline time at which it ends
    MediaTime mediaStart = 0; // the part of the file that is played
    MediaTime mediaStop = 0;
    std::string mediaName;    // the file
    int stretchMode = RESIZEF_STRETCH;

    bool operator==(const TimelineSourceSpec&) const = default;
};

struct TimelineTrackSpec {
    std::vector<TimelineSourceSpec> sources; // in the order they were added
};

struct TimelineGroupSpec {
    MediaType mediaType;
    double outputFps = 0.0;
    VideoProcessing processing; // of a picture group's sources
    std::vector<TimelineTrackSpec> tracks; // in priority order
};

// The description of an edit: groups (one output each) holding tracks that
// hold sources, filled in by the timeline steps and read by the render
// engine. Nodes are created empty, configured, then linked; a node that is
// never linked has no effect. Each step checks its values and is virtual so
// that a fake can fail it.
class Timeline {
public:
    Timeline() = default;
    virtual ~Timeline() = default;
    Timeline(const Timeline&) = delete;
    Timeline& operator=(const Timeline&) = delete;

    virtual MediaResult CreateEmptyNode(TimelineNodeKind kind, TimelineNode& node);

    // Group nodes.
    virtual MediaResult SetMediaType(TimelineNode group, const MediaType& type);
    virtual MediaResult SetOutputFPS(TimelineNode group, double fps);
    // Tone mapping and deinterlacing of the group's pictures.
    MediaResult SetVideoProcessing(TimelineNode group, const VideoProcessing& processing);
    // Inserts the track before the one of this priority; -1 appends it.
    virtual MediaResult VTrackInsBefore(TimelineNode group, TimelineNode track, int priority);

    // Source nodes.
    virtual MediaResult SetStartStop(TimelineNode source, MediaTime start, MediaTime stop);
    virtual MediaResult SetMediaTimes(TimelineNode source, MediaTime start, MediaTime stop);
    virtual MediaResult SetMediaName(TimelineNode source, const std::string& path);
    virtual MediaResult SetStretchMode(TimelineNode source, int mode);

    // Track nodes.
    virtual MediaResult SrcAdd(TimelineNode track, TimelineNode source);

    // The timeline itself.
    virtual MediaResult AddGroup(TimelineNode group);
    virtual MediaResult GetGroupCount(int& count);
    // Checks that every source of the added groups names a file that opens;
    // the first failure's code, or Ok.
    virtual MediaResult ValidateSourceNames(int flags);

    // What the render engine reads: the added groups, in order.
    std::vector<TimelineGroupSpec> Groups() const;

private:
    struct GroupNode {
        MediaType mediaType;
        double outputFps = 0.0;
        VideoProcessing processing;
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
