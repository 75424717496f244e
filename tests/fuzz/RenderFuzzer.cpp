// Feeds the input to a conversion as its clip: the first 0.2 s become small
// frames through the same timeline and capture graph the Convert button
// builds, until the graph reports the end.
#include "FuzzScratch.h"
#include "extract/CaptureGraph.h"
#include "extract/ConversionReporter.h"
#include "extract/TimelineBuilder.h"
#include "platform/media/EditingServices.h"
#include "platform/media/MediaType.h"
#include "platform/media/RenderEngine.h"
#include "support/RecordingMessageService.h"

#include <QCoreApplication>

extern "C" {
#include <libavutil/log.h>
}

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

struct OutputSize {
    int width;
    int height;
};
constexpr MediaTime kRangeEnd = kMediaUnitsPerSecond / 5;
// Far above what 0.2 s of small frames takes even under the sanitizers.
constexpr auto kLongestRun = std::chrono::seconds(20);

const QString& ClipPath()
{
    static const QString path = ScratchFolder() + QStringLiteral("/clip");
    return path;
}

// Reads every byte of each frame, so that a frame smaller than it says is
// caught, and checks its size against the output size.
class FrameToucher final : public SampleGrabberCallback {
public:
    explicit FrameToucher(OutputSize size) : size_(size) {}

    bool KeepsFrame() override { return true; }
    void SampleCB(double, DrawnPicture picture) override
    {
        if (picture.Width() != size_.width || picture.Height() != size_.height) {
            std::fprintf(stderr, "frame of %dx%d for %dx%d\n", picture.Width(), picture.Height(), size_.width,
                         size_.height);
            std::abort();
        }
        unsigned sum = 0;
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width() * 3; ++x)
                sum += picture.Plane(0)[picture.Stride(0) * y + x];
        checksum_ = sum;
    }

private:
    OutputSize size_;
    volatile unsigned checksum_ = 0;
};

// Wakes the waiting fuzzer when the graph has events.
class EventSignal final {
public:
    void Notify()
    {
        const std::lock_guard lock(mutex_);
        notified_ = true;
        wake_.notify_all();
    }

    // True when an event came before the deadline.
    bool WaitForEnd(MediaEventSource& events, std::chrono::steady_clock::time_point deadline)
    {
        GraphEvent event;
        std::unique_lock lock(mutex_);
        for (;;) {
            while (events.GetEvent(event) == MediaResult::Ok)
                if (event.code == EC_COMPLETE || event.code == EC_ERRORABORT || event.code == EC_USERABORT)
                    return true;
            if (!wake_.wait_until(lock, deadline, [this] { return notified_; }))
                return false;
            notified_ = false;
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool notified_ = false;
};

// One grabber for the whole run, as the program has.
std::shared_ptr<SampleGrabber> MakeGrabber(EditingServices& editing)
{
    std::shared_ptr<SampleGrabber> grabber;
    if (Failed(editing.CreateSampleGrabber(grabber)) || Failed(grabber->SetMediaType(Rgb24GrabberType())))
        std::abort();
    return grabber;
}

// The input's length picks letterboxing or stretching, and a size whose rows
// need no padding or one whose rows do, so that every path gets inputs.
ConversionSettings SmallOutput(std::size_t inputSize)
{
    const OutputSize size = inputSize / 2 % 2 == 0 ? OutputSize{64, 48} : OutputSize{35, 27};
    ConversionSettings settings;
    settings.outputWidth = size.width;
    settings.outputHeight = size.height;
    settings.frameRate = 25.0;
    settings.resizeMode = inputSize % 2 == 0 ? kResizePreserveAspectRatio : kResizeStretch;
    return settings;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    av_log_set_level(AV_LOG_QUIET);
    ScratchFolder();
    // Message captions carry the application's name.
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FfmpegEditingServices editing;
    static const std::shared_ptr<SampleGrabber> grabber = MakeGrabber(editing);
    if (!WriteInput(ClipPath(), data, size))
        std::abort();
    RecordingMessageService messages;
    const ConversionReporter reporter(messages, nullptr);
    const ClipSource clip{1, 1, ClipPath(), ClipPath(), 0, kRangeEnd, 25.0};
    const ConversionSettings settings = SmallOutput(size);
    const std::unique_ptr<Timeline> timeline = BuildTimeline(editing, reporter, clip, settings);
    if (!timeline)
        return 0;
    FrameToucher toucher({settings.outputWidth, settings.outputHeight});
    EventSignal signal;
    const CaptureSinks sinks{grabber, &toucher, [&signal] { signal.Notify(); }};
    std::optional<RunningCapture> capture = StartCapture(editing, reporter, *timeline, sinks);
    if (!capture)
        return 0;
    const bool ended = signal.WaitForEnd(*capture->events, std::chrono::steady_clock::now() + kLongestRun);
    capture->control->Stop();
    capture->events->SetNotify({});
    capture->renderEngine->ScrapIt();
    if (!ended) {
        std::fprintf(stderr, "the graph reported no end within %lld s\n", static_cast<long long>(kLongestRun.count()));
        std::abort();
    }
    return 0;
}
