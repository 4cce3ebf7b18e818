#include "platform/sim/sim_scheduler.h"

#include <algorithm>

namespace marrowick::sim {

TaskHandle SimScheduler::add(double seconds, std::function<void()> task, double interval) {
    auto cancelled = std::make_shared<bool>(false);
    tasks_.emplace(std::pair{now_ + std::max(0.0, seconds), seq_++}, Task{std::move(task), cancelled, interval});
    return TaskHandle(cancelled);
}

TaskHandle SimScheduler::after(double seconds, std::function<void()> task) { return add(seconds, std::move(task), 0); }

TaskHandle SimScheduler::every(double seconds, std::function<void()> task) {
    return add(seconds, std::move(task), std::max(seconds, 1e-6));
}

void SimScheduler::advance(double seconds) {
    const double end = now_ + seconds;
    // A small tolerance so that 0.05 s after 0.05 s of advancing counts as due.
    constexpr double slack = 1e-9;
    while (!tasks_.empty() && tasks_.begin()->first.first <= end + slack) {
        auto node = tasks_.extract(tasks_.begin());
        now_ = std::max(now_, node.key().first);
        Task& t = node.mapped();
        if (*t.cancelled) continue;
        if (t.interval > 0) {
            tasks_.emplace(std::pair{now_ + t.interval, seq_++}, Task{t.run, t.cancelled, t.interval});
        }
        t.run();
    }
    now_ = std::max(now_, end);
}

std::size_t SimScheduler::pending() const {
    return static_cast<std::size_t>(
        std::count_if(tasks_.begin(), tasks_.end(), [](const auto& e) { return !*e.second.cancelled; }));
}

}  // namespace marrowick::sim
