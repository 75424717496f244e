#include "extract/PictureQueue.h"

#include <algorithm>
#include <utility>

PictureQueue::PictureQueue(int workers) : workerCount_(static_cast<std::size_t>(std::max(workers, 1)))
{
    for (std::size_t i = 0; i < workerCount_; ++i)
        workers_.emplace_back([this] { Serve(); });
}

PictureQueue::~PictureQueue()
{
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    itemQueued_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void PictureQueue::WaitForWorker()
{
    std::unique_lock lock(mutex_);
    itemFinished_.wait(lock, [this] { return HasFreeWorker(); });
}

void PictureQueue::Push(DrawnPicture picture, Work work)
{
    {
        std::unique_lock lock(mutex_);
        itemFinished_.wait(lock, [this] { return HasFreeWorker(); });
        items_.push_back({std::move(picture), std::move(work)});
    }
    itemQueued_.notify_one();
}

void PictureQueue::Wait()
{
    std::unique_lock lock(mutex_);
    itemFinished_.wait(lock, [this] { return items_.empty() && busy_ == 0; });
}

// A worker drains the queue before it ends, so no pushed picture is dropped.
// The picture goes as soon as its work is done, so its memory returns to the
// chain that drew it.
void PictureQueue::Serve()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        itemQueued_.wait(lock, [this] { return closing_ || !items_.empty(); });
        if (items_.empty())
            return;
        Item item = std::move(items_.front());
        items_.pop_front();
        ++busy_;
        lock.unlock();
        item.work(item.picture);
        item = {};
        lock.lock();
        --busy_;
        itemFinished_.notify_all();
    }
}
