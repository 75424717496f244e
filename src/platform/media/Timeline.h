#pragma once

#include "platform/media/MediaResult.h"
#include "platform/media/MediaTime.h"
#include "platform/media/MediaType.h"

#include <string>
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
    std::vector<TimelineTrackSpec> tracks; // in priority order
};

// The description of an edit: groups (one output each) holding tracks that
// hold sources. Nodes are created empty, configured, then linked; a node
// that is never linked has no effect.
class Timeline {
public:
    virtual ~Timeline() = default;

    virtual MediaResult CreateEmptyNode(TimelineNodeKind kind, TimelineNode& node) = 0;

    // Group nodes.
    virtual MediaResult SetMediaType(TimelineNode group, const MediaType& type) = 0;
    virtual MediaResult SetOutputFPS(TimelineNode group, double fps) = 0;
    // Inserts the track before the one of this priority; -1 appends it.
    virtual MediaResult VTrackInsBefore(TimelineNode group, TimelineNode track, int priority) = 0;

    // Source nodes.
    virtual MediaResult SetStartStop(TimelineNode source, MediaTime start, MediaTime stop) = 0;
    virtual MediaResult SetMediaTimes(TimelineNode source, MediaTime start, MediaTime stop) = 0;
    virtual MediaResult SetMediaName(TimelineNode source, const std::string& path) = 0;
    virtual MediaResult SetStretchMode(TimelineNode source, int mode) = 0;

    // Track nodes.
    virtual MediaResult SrcAdd(TimelineNode track, TimelineNode source) = 0;

    // The timeline itself.
    virtual MediaResult AddGroup(TimelineNode group) = 0;
    virtual MediaResult GetGroupCount(int& count) = 0;
    // Checks that every source of the added groups names a file that opens;
    // the first failure's code, or Ok.
    virtual MediaResult ValidateSourceNames(int flags) = 0;

    // What the render engine builds from: the added groups, in order.
    virtual std::vector<TimelineGroupSpec> Groups() const = 0;
};
