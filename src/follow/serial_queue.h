#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace marrowick {

// Runs tasks one at a time, in the order queued, on a thread of its own.
class SerialQueue {
public:
    SerialQueue();
    // Runs what is still queued, then stops the thread.
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    void async(std::function<void()> task);
    // Waits until every task queued so far has run.
    void drain();
    // Tasks queued and not started yet.
    [[nodiscard]] std::size_t pending();

    // While a Hold exists the queue starts no task (the one running, if any, finishes).
    class Hold {
    public:
        explicit Hold(SerialQueue& q);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        SerialQueue& q_;
    };
    [[nodiscard]] Hold hold() { return Hold(*this); }

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> tasks_;
    int holds_ = 0;
    bool running_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace marrowick
