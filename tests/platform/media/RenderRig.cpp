#include "RenderRig.h"

#include "platform/media/MediaType.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

void FrameRecorder::BufferCB(double sampleTime, std::uint8_t* buffer, long length)
{
    const std::lock_guard lock(mutex_);
    frames_.push_back(CapturedFrame{sampleTime, std::vector<std::uint8_t>(buffer, buffer + length)});
}

bool FrameRecorder::NeedsBuffer()
{
    return asked_++ % keepEvery == 0;
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
          video ? timeline_->SetOutputFPS(group, fps) : MediaResult::Ok, timeline_->AddGroup(group),
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
    std::shared_ptr<Filter> videoRenderer, soundRenderer;
    services_.CreateNullRenderer(videoRenderer);
    services_.CreateNullRenderer(soundRenderer);
    OutputPin* videoPin = nullptr;
    OutputPin* soundPin = nullptr;
    MediaFilter* filter = nullptr;
    auto steps = [&]() -> std::vector<std::function<MediaResult()>> {
        return {
            [&] { return AddGroup(Rgb24VideoType(request.width, request.height), request.fps, request, true); },
            [&] { return request.withSound ? AddGroup(AudioGroupType(), 0, request, false) : MediaResult::Ok; },
            [&] { return engine_->SetTimelineObject(timeline_.get()); },
            [&] { return engine_->ConnectFrontEnd(); },
            [&] { return engine_->GetFilterGraph(graph); },
            [&] { return builder->SetFiltergraph(*graph); },
            [&] { return graph->AddFilter(videoRenderer, "Video Null Render"); },
            [&] { return graph->AddFilter(soundRenderer, "Audio Null Render"); },
            [&] { return engine_->GetGroupOutputPin(0, videoPin); },
            [&] { return graph->AddFilter(grabber, "Sample Grabber"); },
            [&] { return builder->RenderStream(*videoPin, grabber.get(), *videoRenderer); },
            [&] { return grabber->SetCallback(&recorder); },
            [&] { return request.withSound ? engine_->GetGroupOutputPin(1, soundPin) : MediaResult::Ok; },
            [&] { return soundPin ? builder->RenderStream(*soundPin, nullptr, *soundRenderer) : MediaResult::Ok; },
            [&] { return graph->QueryMediaFilter(filter); },
            [&] { return filter->SetSyncSource(withClock ? SyncSource::ReferenceClock : SyncSource::None); },
            [&] { return graph->QueryMediaControl(control_); },
            [&] { return graph->QueryMediaEvent(events_); },
        };
    };
    for (const auto& step : steps())
        if (const MediaResult result = step(); Failed(result))
            return result;
    return events_->SetNotify([this] {
        const std::lock_guard lock(mutex_);
        notified_ = true;
        signalled_.notify_all();
    });
}

MediaResult RenderRig::Run()
{
    return control_ ? control_->Run() : MediaResult::WrongState;
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
    return control_ ? control_->Stop() : MediaResult::Ok;
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

namespace {

QStringList Lines(const QByteArray& output)
{
    return QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString Probe(const QString& path, const QString& entries, const QString& streams = {})
{
    QStringList arguments{QStringLiteral("-v"), QStringLiteral("error")};
    if (!streams.isEmpty())
        arguments << QStringLiteral("-select_streams") << streams;
    arguments << QStringLiteral("-show_entries") << entries << QStringLiteral("-of")
              << QStringLiteral("csv=p=0") << path;
    QByteArray output;
    EXPECT_EQ(RunProgram(QStringLiteral("ffprobe"), arguments, &output), 0) << output.toStdString();
    return QString::fromUtf8(output).trimmed();
}

// Frame times from their integer timestamps, as exact as the file keeps them.
std::vector<MediaTime> FrameTimes(const QString& path)
{
    const QStringList base = Probe(path, QStringLiteral("stream=time_base"), QStringLiteral("v:0")).section(',', 0, 0).split('/');
    const qint64 num = base.value(0).toLongLong();
    const qint64 den = base.value(1).toLongLong();
    const double startSeconds = Probe(path, QStringLiteral("format=start_time")).section(',', 0, 0).toDouble();
    const MediaTime start = std::llround(startSeconds * 1e6) * 10;
    QByteArray output;
    RunProgram(QStringLiteral("ffprobe"),
               {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                QStringLiteral("v:0"), QStringLiteral("-show_entries"), QStringLiteral("frame=best_effort_timestamp"),
                QStringLiteral("-of"), QStringLiteral("csv=p=0"), path},
               &output);
    std::vector<MediaTime> times;
    for (const QString& line : Lines(output)) {
        const long double ts = line.split(',').first().toLongLong();
        times.push_back(std::llround(ts * num * kMediaUnitsPerSecond / den) - start);
    }
    return times;
}

} // namespace

ReferenceClip DecodeWithFfmpeg(const QString& path)
{
    ReferenceClip clip;
    const QStringList size =
        Probe(path, QStringLiteral("stream=width,height:stream_side_data=rotation"), QStringLiteral("v:0"))
            .split(QRegularExpression(QStringLiteral("[,\\n]")), Qt::SkipEmptyParts);
    clip.width = size.value(0).toInt();
    clip.height = size.value(1).toInt();
    if (size.size() > 2 && std::abs(size.value(2).toInt()) % 180 == 90)
        std::swap(clip.width, clip.height);
    const QString raw = QDir::temp().filePath(QFileInfo(path).fileName() + QStringLiteral(".bgr"));
    QByteArray output;
    const int code = RunProgram(QStringLiteral(FFMPEG_PROGRAM),
                                {QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-loglevel"),
                                 QStringLiteral("error"), QStringLiteral("-i"), path, QStringLiteral("-map"),
                                 QStringLiteral("0:v:0"), QStringLiteral("-fps_mode"), QStringLiteral("passthrough"),
                                 QStringLiteral("-pix_fmt"), QStringLiteral("bgr24"), QStringLiteral("-f"),
                                 QStringLiteral("rawvideo"), raw},
                                &output);
    EXPECT_EQ(code, 0) << output.toStdString();
    const QByteArray pixels = ReadFile(raw);
    QFile::remove(raw);
    const std::vector<MediaTime> times = FrameTimes(path);
    const qsizetype frameBytes = qsizetype{clip.width} * clip.height * 3;
    EXPECT_EQ(pixels.size(), frameBytes * static_cast<qsizetype>(times.size())) << "frames and times disagree";
    for (std::size_t i = 0; i < times.size() && qsizetype(i + 1) * frameBytes <= pixels.size(); ++i)
        clip.frames.push_back(ReferenceFrame{times[i], pixels.mid(qsizetype(i) * frameBytes, frameBytes)});
    return clip;
}

const ReferenceFrame& FrameOnScreen(const ReferenceClip& clip, MediaTime time)
{
    const ReferenceFrame* shown = &clip.frames.front();
    for (const ReferenceFrame& frame : clip.frames)
        if (frame.time <= time + 1 && frame.time >= shown->time)
            shown = &frame;
    return *shown;
}

double Psnr(const CapturedFrame& frame, const ReferenceFrame& reference, int width, int height)
{
    const int stride = Rgb24Stride(width);
    double squares = 0;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = frame.bytes.data() + static_cast<std::size_t>(height - 1 - y) * stride;
        const char* expected = reference.bgr.constData() + static_cast<qsizetype>(y) * width * 3;
        for (int x = 0; x < width * 3; ++x) {
            const double d = double(row[x]) - double(static_cast<std::uint8_t>(expected[x]));
            squares += d * d;
        }
    }
    const double mse = squares / (double(width) * height * 3);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}
