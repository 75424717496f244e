#include "extract/PictureQueue.h"

#include <algorithm>
#include <cstring>
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

void PictureQueue::Push(const std::uint8_t* data, std::size_t size, Work work)
{
    Frame frame;
    {
        std::unique_lock lock(mutex_);
        itemFinished_.wait(lock, [this] { return busy_ + items_.size() + claimed_ < workerCount_; });
        ++claimed_;
        frame = TakeSpare();
    }
    // Copied outside the lock, so the workers are never held up by it.
    try {
        frame.resize(size);
    } catch (...) {
        const std::lock_guard lock(mutex_);
        --claimed_;
        itemFinished_.notify_all();
        throw;
    }
    std::memcpy(frame.data(), data, size);
    {
        const std::lock_guard lock(mutex_);
        --claimed_;
        items_.push_back({std::move(frame), std::move(work)});
    }
    itemQueued_.notify_one();
}

void PictureQueue::Wait()
{
    std::unique_lock lock(mutex_);
    itemFinished_.wait(lock, [this] { return items_.empty() && busy_ == 0 && claimed_ == 0; });
}

// Called with the mutex held.
PictureQueue::Frame PictureQueue::TakeSpare()
{
    if (spares_.empty())
        return {};
    Frame frame = std::move(spares_.back());
    spares_.pop_back();
    return frame;
}

// A worker drains the queue before it ends, so no pushed frame is dropped.
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
        item.work(item.frame);
        lock.lock();
        --busy_;
        spares_.push_back(std::move(item.frame));
        itemFinished_.notify_all();
    }
}
