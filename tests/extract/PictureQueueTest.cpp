#include "extract/PictureQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
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

// A tiny picture whose first byte tells it apart.
DrawnPicture Picture(std::uint8_t mark = 0)
{
    DrawnPicture picture = DrawnPicture::Black(PictureLayout::Bgr24, 2, 1);
    picture.Plane(0)[0] = mark;
    return picture;
}

TEST(PictureQueueTest, EachWorkGetsThePictureHandedOverWithIt)
{
    PictureQueue queue(2);
    std::mutex mutex;
    std::vector<int> seen(3, -1);
    for (std::size_t i = 0; i < seen.size(); ++i)
        queue.Push(Picture(static_cast<std::uint8_t>(100 + i)), [&, i](const DrawnPicture& picture) {
            const std::lock_guard lock(mutex);
            seen[i] = picture.Plane(0)[0];
        });
    queue.Wait();
    EXPECT_EQ(seen, (std::vector<int>{100, 101, 102}));
}

TEST(PictureQueueTest, WaitReturnsOnceEveryPushedFrameIsDone)
{
    PictureQueue queue(3);
    std::atomic<int> done = 0;
    for (int i = 0; i < 20; ++i)
        queue.Push(Picture(), [&](const DrawnPicture&) {
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
        queue.Push(Picture(), [&](const DrawnPicture&) { gate.Pass(); });
    EXPECT_TRUE(gate.Holds(2));
    gate.Open();
    queue.Wait();
}

// A slow disk cannot make a conversion hold more frames in memory than
// there are workers.
TEST(PictureQueueTest, PushWaitsForAFreeWorker)
{
    PictureQueue queue(1);
    Gate gate;
    const auto held = [&](const DrawnPicture&) { gate.Pass(); };
    queue.Push(Picture(), held);
    ASSERT_TRUE(gate.Holds(1));
    std::atomic<bool> pushed = false;
    std::thread second([&] {
        queue.Push(Picture(), held);
        pushed = true;
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(pushed);
    gate.Open();
    second.join();
    EXPECT_TRUE(pushed);
    queue.Wait();
}

TEST(PictureQueueTest, FramesStillQueuedAreWorkedOnBeforeTheQueueGoes)
{
    std::atomic<int> done = 0;
    {
        PictureQueue queue(2);
        for (int i = 0; i < 8; ++i)
            queue.Push(Picture(), [&](const DrawnPicture&) {
                std::this_thread::sleep_for(1ms);
                ++done;
            });
    }
    EXPECT_EQ(done, 8);
}
} // namespace
