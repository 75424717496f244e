#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Writes kept frames on worker threads while the streaming thread decodes the
// next ones, so that encoding, the costly part of a picture, uses every core.
// Each frame is copied in, because the engine's buffer is valid only during
// its callback. A frame is copied only once a worker is free for it, so a
// conversion holds at most one copy per worker; the copies are reused.
class PictureQueue final {
public:
    using Frame = std::vector<std::uint8_t>;
    using Work = std::function<void(const Frame& frame)>;

    // workers below 1 count as 1.
    explicit PictureQueue(int workers);
    // Finishes everything pushed, then ends the workers.
    ~PictureQueue();
    PictureQueue(const PictureQueue&) = delete;
    PictureQueue& operator=(const PictureQueue&) = delete;

    // Waits for a free worker, then copies size bytes at data and hands the
    // copy to work on that worker's thread. Throws what allocating the copy
    // throws, and the queue stays usable.
    void Push(const std::uint8_t* data, std::size_t size, Work work);

    // Returns once the work of every frame pushed so far is done.
    void Wait();

private:
    struct Item {
        Frame frame;
        Work work;
    };

    Frame TakeSpare();
    void Serve();

    const std::size_t workerCount_;
    std::mutex mutex_;
    std::condition_variable itemQueued_;   // workers wait for work
    std::condition_variable itemFinished_; // Push waits for a free worker, Wait for the end
    std::deque<Item> items_;
    std::vector<Frame> spares_;
    std::size_t claimed_ = 0; // workers promised to frames still being copied
    std::size_t busy_ = 0;
    bool closing_ = false;
    std::vector<std::thread> workers_; // last: started when everything above exists
};
