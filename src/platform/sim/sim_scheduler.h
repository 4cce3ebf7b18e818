#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "platform/scheduler.h"

namespace marrowick::sim {

// Tasks on a virtual clock: nothing runs until the test advances time.
class SimScheduler : public Scheduler {
public:
    TaskHandle after(double seconds, std::function<void()> task) override;
    TaskHandle every(double seconds, std::function<void()> task) override;

    // Moves the clock forward, running every task that falls due, in time order.
    void advance(double seconds);
    [[nodiscard]] double now() const { return now_; }
    // Tasks still waiting (cancelled ones excluded).
    [[nodiscard]] std::size_t pending() const;

private:
    struct Task {
        std::function<void()> run;
        std::shared_ptr<bool> cancelled;
        double interval = 0;  // > 0 for a timer
    };
    TaskHandle add(double seconds, std::function<void()> task, double interval);

    double now_ = 0;
    std::uint64_t seq_ = 0;
    std::map<std::pair<double, std::uint64_t>, Task> tasks_;
};

}  // namespace marrowick::sim
