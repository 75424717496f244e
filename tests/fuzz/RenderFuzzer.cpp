// Feeds the input to a conversion as its clip: the first 0.2 s become small
// frames through the same steps and extractor the Convert button runs, until
// the extraction ends.
#include "FuzzScratch.h"
#include "extract/ConversionSteps.h"
#include "platform/media/FrameExtractor.h"

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
class FrameToucher final : public FrameSink {
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

// Wakes the waiting fuzzer when the extraction has ended.
class EndSignal final {
public:
    void Notify()
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
        wake_.notify_all();
    }

    // True when the end came before the deadline.
    bool WaitForEnd(std::chrono::steady_clock::time_point deadline)
    {
        std::unique_lock lock(mutex_);
        return wake_.wait_until(lock, deadline, [this] { return ended_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool ended_ = false;
};

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
    (void)argc;
    (void)argv;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!WriteInput(ClipPath(), data, size))
        std::abort();
    const ClipSource clip{1, 1, ClipPath(), 0, kRangeEnd, 25.0};
    const ConversionSettings settings = SmallOutput(size);
    FrameExtractor extractor;
    const FaultPlan noFaults;
    if (!RunConversionSteps({extractor, noFaults, [](ConversionStep, MediaResult) {}}, clip, settings))
        return 0;
    FrameToucher toucher({settings.outputWidth, settings.outputHeight});
    EndSignal signal;
    extractor.Start(toucher, [&signal](MediaResult) { signal.Notify(); });
    const bool ended = signal.WaitForEnd(std::chrono::steady_clock::now() + kLongestRun);
    extractor.Close();
    if (!ended) {
        std::fprintf(stderr, "the extraction did not end within %lld s\n", static_cast<long long>(kLongestRun.count()));
        std::abort();
    }
    return 0;
}
