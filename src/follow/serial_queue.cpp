#include "follow/serial_queue.h"

namespace marrowick {

SerialQueue::SerialQueue() : thread_([this] { run(); }) {}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SerialQueue::async(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_all();
}

void SerialQueue::drain() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return tasks_.empty() && !running_; });
}

std::size_t SerialQueue::pending() {
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

SerialQueue::Hold::Hold(SerialQueue& q) : q_(q) {
    std::lock_guard lock(q_.mutex_);
    ++q_.holds_;
}

SerialQueue::Hold::~Hold() {
    {
        std::lock_guard lock(q_.mutex_);
        --q_.holds_;
    }
    q_.wake_.notify_all();
}

void SerialQueue::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return (!tasks_.empty() && holds_ == 0) || (stopping_ && tasks_.empty()); });
        if (tasks_.empty()) return;  // stopping, and nothing left
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        running_ = true;
        lock.unlock();
        task();
        lock.lock();
        running_ = false;
        if (tasks_.empty()) idle_.notify_all();
    }
}

}  // namespace marrowick
