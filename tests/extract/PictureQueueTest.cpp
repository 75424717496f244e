#include "extract/PictureQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace {
using namespace std::chrono_literals;

// Holds the work that reaches it until it is opened.
class Gate final {
public:
    void Pass()
    {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    void Open()
    {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // True once count pieces of work wait at the gate together, within a few seconds.
    bool Holds(int count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return waiting_ >= count; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int waiting_ = 0;
    bool open_ = false;
};

const std::vector<std::uint8_t> kFrame{1, 2, 3, 4, 5, 6};

TEST(PictureQueueTest, EachWorkSeesTheFrameAsItWasWhenPushed)
{
    PictureQueue queue(2);
    std::mutex mutex;
    std::vector<std::vector<std::uint8_t>> seen(3);
    std::vector<std::uint8_t> buffer = kFrame;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        queue.Push(buffer.data(), buffer.size(), [&, i](const PictureQueue::Frame& frame) {
            const std::lock_guard lock(mutex);
            seen[i] = frame;
        });
        buffer.assign(buffer.size(), static_cast<std::uint8_t>(100 + i)); // the engine reuses its buffer
    }
    queue.Wait();
    EXPECT_EQ(seen[0], kFrame);
    EXPECT_EQ(seen[1], std::vector<std::uint8_t>(6, 100));
    EXPECT_EQ(seen[2], std::vector<std::uint8_t>(6, 101));
}

TEST(PictureQueueTest, WaitReturnsOnceEveryPushedFrameIsDone)
{
    PictureQueue queue(3);
    std::atomic<int> done = 0;
    for (int i = 0; i < 20; ++i)
        queue.Push(kFrame.data(), kFrame.size(), [&](const PictureQueue::Frame&) {
            std::this_thread::sleep_for(2ms);
            ++done;
        });
    queue.Wait();
    EXPECT_EQ(done, 20);
}

TEST(PictureQueueTest, FramesAreWorkedOnAtOnceByEveryWorker)
{
    PictureQueue queue(2);
    Gate gate;
    for (int i = 0; i < 2; ++i)
        queue.Push(kFrame.data(), kFrame.size(), [&](const PictureQueue::Frame&) { gate.Pass(); });
    EXPECT_TRUE(gate.Holds(2));
    gate.Open();
    queue.Wait();
}

// A frame is copied only for a free worker, so a slow disk cannot make a
// conversion hold more frames in memory than there are workers.
TEST(PictureQueueTest, PushWaitsForAFreeWorker)
{
    PictureQueue queue(1);
    Gate gate;
    const auto held = [&](const PictureQueue::Frame&) { gate.Pass(); };
    queue.Push(kFrame.data(), kFrame.size(), held);
    ASSERT_TRUE(gate.Holds(1));
    std::atomic<bool> pushed = false;
    std::thread second([&] {
        queue.Push(kFrame.data(), kFrame.size(), held);
        pushed = true;
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(pushed);
    gate.Open();
    second.join();
    EXPECT_TRUE(pushed);
    queue.Wait();
}

// A frame too large to copy fails alone; the worker it claimed is free again.
TEST(PictureQueueTest, AFrameThatCannotBeCopiedLeavesTheQueueUsable)
{
    PictureQueue queue(1);
    EXPECT_ANY_THROW(queue.Push(kFrame.data(), std::numeric_limits<std::size_t>::max(), {}));
    std::atomic<int> done = 0;
    queue.Push(kFrame.data(), kFrame.size(), [&](const PictureQueue::Frame&) { ++done; });
    queue.Wait();
    EXPECT_EQ(done, 1);
}

TEST(PictureQueueTest, FramesStillQueuedAreWorkedOnBeforeTheQueueGoes)
{
    std::atomic<int> done = 0;
    {
        PictureQueue queue(2);
        for (int i = 0; i < 8; ++i)
            queue.Push(kFrame.data(), kFrame.size(), [&](const PictureQueue::Frame&) {
                std::this_thread::sleep_for(1ms);
                ++done;
            });
    }
    EXPECT_EQ(done, 8);
}
} // namespace
