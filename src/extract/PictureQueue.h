#pragma once

#include "platform/media/DrawnPicture.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Writes kept frames on worker threads while the streaming thread decodes the
// next ones, so that encoding, the costly part of a picture, uses every core.
// A frame is taken over as it was drawn, never copied; the streaming thread
// waits for a free worker before it hands one over, so a conversion holds at
// most one drawn frame per worker.
class PictureQueue final {
public:
    // The work may let go of the picture before it returns.
    using Work = std::function<void(DrawnPicture& picture)>;

    // workers below 1 count as 1.
    explicit PictureQueue(int workers);
    // Finishes everything pushed, then ends the workers.
    ~PictureQueue();
    PictureQueue(const PictureQueue&) = delete;
    PictureQueue& operator=(const PictureQueue&) = delete;

    // Returns once a worker is free: a picture drawn after it need not wait
    // in memory for one.
    void WaitForWorker();

    // Waits for a free worker, then hands the picture to work on that
    // worker's thread. Throws what queueing throws, and the queue stays usable.
    void Push(DrawnPicture picture, Work work);

    // Returns once the work of every picture pushed so far is done.
    void Wait();

private:
    struct Item {
        DrawnPicture picture;
        Work work;
    };

    void Serve();
    bool HasFreeWorker() const { return busy_ + items_.size() < workerCount_; } // under the mutex

    const std::size_t workerCount_;
    std::mutex mutex_;
    std::condition_variable itemQueued_;   // workers wait for work
    std::condition_variable itemFinished_; // Push waits for a free worker, Wait for the end
    std::deque<Item> items_;
    std::size_t busy_ = 0;
    bool closing_ = false;
    std::vector<std::thread> workers_; // last: started when everything above exists
};
