#include "RenderRig.h"

#include "platform/media/FfmpegRenderEngine.h"
#include "platform/media/MediaType.h"
#include "support/Frames.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {
// Full-range BT.601 4:2:0 planes, read by the ffmpeg program as JPEG's YUV,
// to top-down BGR24 without padding; empty when it fails.
QByteArray BgrOfPlanes(const DrawnPicture& picture)
{
    const int width = picture.Width();
    const int height = picture.Height();
    QByteArray planes;
    for (int plane = 0; plane < 3; ++plane) {
        const int rows = plane == 0 ? height : (height + 1) / 2;
        const int columns = plane == 0 ? width : (width + 1) / 2;
        for (int y = 0; y < rows; ++y)
            planes.append(reinterpret_cast<const char*>(picture.Plane(plane) + picture.Stride(plane) * y), columns);
    }
    QTemporaryDir folder;
    const QString raw = folder.filePath(QStringLiteral("planes.yuv"));
    const QString bgr = folder.filePath(QStringLiteral("frame.bgr"));
    WriteFile(raw, planes);
    const int code = RunProgram(QStringLiteral(FFMPEG_PROGRAM),
                                {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                 QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                                 QStringLiteral("yuvj420p"), QStringLiteral("-s"),
                                 QStringLiteral("%1x%2").arg(width).arg(height), QStringLiteral("-i"), raw,
                                 QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                                 QStringLiteral("bgr24"), bgr});
    return code == 0 ? ReadFile(bgr) : QByteArray();
}
} // namespace

void FrameRecorder::SampleCB(double sampleTime, DrawnPicture picture)
{
    const std::size_t rowBytes = static_cast<std::size_t>(picture.Width()) * 3;
    const std::size_t stride = static_cast<std::size_t>(Rgb24Stride(picture.Width()));
    CapturedFrame frame{sampleTime, std::vector<std::uint8_t>(stride * static_cast<std::size_t>(picture.Height()))};
    const std::uint8_t* top = picture.Plane(0);
    std::ptrdiff_t step = picture.Stride(0);
    QByteArray converted;
    if (picture.Layout() == PictureLayout::Yuv420) {
        converted = BgrOfPlanes(picture);
        EXPECT_EQ(converted.size(), qsizetype(rowBytes) * picture.Height());
        if (converted.size() != qsizetype(rowBytes) * picture.Height())
            return;
        top = reinterpret_cast<const std::uint8_t*>(converted.constData());
        step = static_cast<std::ptrdiff_t>(rowBytes);
    }
    for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(frame.bytes.data() + stride * static_cast<std::size_t>(picture.Height() - 1 - y), top + step * y,
                    rowBytes);
    const std::lock_guard lock(mutex_);
    frames_.push_back(std::move(frame));
}

bool FrameRecorder::KeepsFrame()
{
    return asked_++ % keepEvery == 0;
}

std::int64_t FrameRecorder::FramesBeforeKept(std::int64_t after) const
{
    return foresees ? (keepEvery - asked_ % keepEvery) % keepEvery + after * (keepEvery - 1) : -1;
}

std::vector<CapturedFrame> FrameRecorder::Frames() const
{
    const std::lock_guard lock(mutex_);
    return frames_;
}

std::size_t FrameRecorder::Count() const
{
    const std::lock_guard lock(mutex_);
    return frames_.size();
}

RenderRig::RenderRig()
{
    services_.CreateSampleGrabber(grabber);
    grabber->SetMediaType(Rgb24GrabberType());
}

RenderRig::~RenderRig()
{
    Stop();
    if (engine_)
        engine_->ScrapIt();
}

MediaResult RenderRig::AddGroup(const MediaType& type, double fps, const RenderRequest& request, bool video)
{
    TimelineNode group = 0, track = 0, source = 0;
    const std::string path = (video || request.soundPath.isEmpty() ? request.path : request.soundPath).toStdString();
    for (const MediaResult result :
         {timeline_->CreateEmptyNode(TimelineNodeKind::Group, group), timeline_->SetMediaType(group, type),
          video ? timeline_->SetOutputFPS(group, fps) : MediaResult::Ok,
          video ? timeline_->SetVideoProcessing(group, request.processing) : MediaResult::Ok,
          timeline_->AddGroup(group),
          timeline_->CreateEmptyNode(TimelineNodeKind::Track, track), timeline_->VTrackInsBefore(group, track, -1),
          timeline_->CreateEmptyNode(TimelineNodeKind::Source, source),
          timeline_->SetStartStop(source, 0, request.mediaStop - request.mediaStart),
          timeline_->SetMediaTimes(source, request.mediaStart, request.mediaStop),
          timeline_->SetMediaName(source, path),
          video ? timeline_->SetStretchMode(source, request.stretchMode) : MediaResult::Ok,
          timeline_->SrcAdd(track, source)})
        if (Failed(result))
            return result;
    return MediaResult::Ok;
}

MediaResult RenderRig::Build(const RenderRequest& request, bool withClock)
{
    services_.CreateTimeline(timeline_);
    services_.CreateRenderEngine(engine_);
    std::unique_ptr<CaptureGraphBuilder> builder;
    services_.CreateCaptureGraphBuilder(builder);
    GraphFilter videoRenderer, soundRenderer;
    services_.CreateNullRenderer(videoRenderer);
    services_.CreateNullRenderer(soundRenderer);
    videoRenderer.name = "Video Null Render";
    soundRenderer.name = "Audio Null Render";
    auto steps = [&]() -> std::vector<std::function<MediaResult()>> {
        return {
            [&] { return AddGroup(Rgb24VideoType(request.width, request.height), request.fps, request, true); },
            [&] { return request.withSound ? AddGroup(AudioGroupType(), 0, request, false) : MediaResult::Ok; },
            [&] { return engine_->SetTimelineObject(timeline_.get()); },
            [&] { return engine_->ConnectFrontEnd(); },
            [&] { return engine_->GetFilterGraph(graph); },
            [&] { return builder->SetFiltergraph(*graph); },
            [&] { return graph->AddFilter(videoRenderer); },
            [&] { return graph->AddFilter(soundRenderer); },
            [&] { return engine_->GetGroupOutput(0); },
            [&] { return graph->AddFilter({"Sample Grabber", grabber}); },
            [&] { return builder->RenderStream({0, "Sample Grabber", videoRenderer.name}); },
            [&] {
                recorder.layout = request.layout;
                return grabber->SetCallback(&recorder);
            },
            [&] { return request.withSound ? engine_->GetGroupOutput(1) : MediaResult::Ok; },
            [&] { return request.withSound ? builder->RenderStream({1, {}, soundRenderer.name}) : MediaResult::Ok; },
            [&] { return graph->SetSyncSource(withClock ? SyncSource::ReferenceClock : SyncSource::None); },
        };
    };
    for (const auto& step : steps())
        if (const MediaResult result = step(); Failed(result))
            return result;
    events_ = engine_->Events();
    return events_->SetNotify([this] {
        const std::lock_guard lock(mutex_);
        notified_ = true;
        signalled_.notify_all();
    });
}

MediaResult RenderRig::Run()
{
    return events_ ? engine_->Control()->Run() : MediaResult::WrongState;
}

bool RenderRig::WaitForEvent(GraphEvent& event, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    while (events_ && events_->GetEvent(event) != MediaResult::Ok) {
        notified_ = false;
        if (!signalled_.wait_until(lock, deadline, [this] { return notified_; }))
            return events_->GetEvent(event) == MediaResult::Ok;
    }
    return events_ != nullptr;
}

MediaResult RenderRig::Stop()
{
    return engine_ ? engine_->Control()->Stop() : MediaResult::Ok;
}

std::int64_t RenderRig::FramesDecoded() const
{
    return engine_ ? dynamic_cast<const FfmpegRenderEngine&>(*engine_).FramesDecoded() : 0;
}

std::vector<CapturedFrame> RenderFrames(const RenderRequest& request, GraphEvent* last)
{
    RenderRig rig;
    const MediaResult built = rig.Build(request);
    EXPECT_EQ(built, MediaResult::Ok) << request.path.toStdString();
    GraphEvent event;
    if (Succeeded(built) && rig.Run() == MediaResult::Ok) {
        EXPECT_TRUE(rig.WaitForEvent(event)) << "no event from the graph";
    }
    rig.Stop();
    if (last)
        *last = event;
    return rig.recorder.Frames();
}

QByteArray TopDownRgb(const CapturedFrame& frame, int width, int height)
{
    const QByteArray bits(reinterpret_cast<const char*>(frame.bytes.data()), qsizetype(frame.bytes.size()));
    return TopDownRgb(TestFrame{width, height, std::size_t(Rgb24Stride(width)), bits});
}
