#pragma once

#include <functional>
#include <memory>

namespace marrowick {

// A scheduled task's handle. Cancelling stops a pending task (or a timer's further ticks);
// cancelling one that already ran does nothing. Copies share the task.
class TaskHandle {
public:
    TaskHandle() = default;
    explicit TaskHandle(std::shared_ptr<bool> cancelled) : cancelled_(std::move(cancelled)) {}
    void cancel() const {
        if (cancelled_) *cancelled_ = true;
    }
    [[nodiscard]] bool isCancelled() const { return cancelled_ && *cancelled_; }

private:
    std::shared_ptr<bool> cancelled_;
};

// Delayed tasks and timers on the main thread.
class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual TaskHandle after(double seconds, std::function<void()> task) = 0;
    virtual TaskHandle every(double seconds, std::function<void()> task) = 0;
};

}  // namespace marrowick
