#include "RenderRig.h"

#include "support/Frames.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

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
    const std::size_t stride = BottomUpStride(picture.Width());
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
    std::this_thread::sleep_for(delay);
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

MediaResult RenderRig::Build(const RenderRequest& request)
{
    recorder.layout = request.layout;
    return extractor.Open({request.path.toStdString(), request.mediaStart, request.mediaStop, request.width,
                           request.height, request.fps, request.keepAspect, request.processing});
}

void RenderRig::Run()
{
    {
        const std::lock_guard lock(mutex_);
        ended_.reset();
    }
    extractor.Start(recorder, [this](MediaResult result) {
        const std::lock_guard lock(mutex_);
        ended_ = result;
        signalled_.notify_all();
    });
}

bool RenderRig::WaitForEnd(MediaResult& result, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    if (!signalled_.wait_for(lock, timeout, [this] { return ended_.has_value(); }))
        return false;
    result = *ended_;
    return true;
}

std::vector<CapturedFrame> RenderFrames(const RenderRequest& request, MediaResult* last)
{
    RenderRig rig;
    const MediaResult built = rig.Build(request);
    EXPECT_EQ(built, MediaResult::Ok) << request.path.toStdString();
    MediaResult ended = built;
    if (Succeeded(built)) {
        rig.Run();
        EXPECT_TRUE(rig.WaitForEnd(ended)) << "the extraction did not end";
    }
    rig.Stop();
    if (last)
        *last = ended;
    return rig.recorder.Frames();
}

QByteArray TopDownRgb(const CapturedFrame& frame, int width, int height)
{
    const QByteArray bits(reinterpret_cast<const char*>(frame.bytes.data()), qsizetype(frame.bytes.size()));
    return TopDownRgb(TestFrame{width, height, BottomUpStride(width), bits});
}
