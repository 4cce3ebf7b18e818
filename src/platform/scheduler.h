#pragma once

#include <functional>
#include <memory>
#include <utility>

namespace marrowick {

// Owns a scheduled task: the task (or a timer's further ticks) is cancelled when the handle is
// cancelled, replaced or destroyed, so a task that refers to its owner never outlives it.
// Cancelling one that already ran does nothing.
class [[nodiscard]] TaskHandle {
public:
    TaskHandle() = default;
    explicit TaskHandle(std::shared_ptr<bool> cancelled) : cancelled_(std::move(cancelled)) {}
    TaskHandle(TaskHandle&& other) noexcept = default;
    TaskHandle& operator=(TaskHandle&& other) noexcept {
        if (this != &other) {
            cancel();
            cancelled_ = std::move(other.cancelled_);
        }
        return *this;
    }
    TaskHandle(const TaskHandle&) = delete;
    TaskHandle& operator=(const TaskHandle&) = delete;
    ~TaskHandle() { cancel(); }

    void cancel() {
        if (cancelled_) *cancelled_ = true;
        cancelled_.reset();
    }
    // Lets the task run whatever happens to this handle; only for tasks that refer to no owner.
    void detach() { cancelled_.reset(); }

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
