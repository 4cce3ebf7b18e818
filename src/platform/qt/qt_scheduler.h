#pragma once

#include <QObject>

#include "platform/scheduler.h"

namespace marrowick {

// Delayed tasks and timers on the Qt event loop. Nothing wakes the loop but due tasks.
class QtScheduler : public Scheduler {
public:
    TaskHandle after(double seconds, std::function<void()> task) override;
    TaskHandle every(double seconds, std::function<void()> task) override;

private:
    TaskHandle start(double seconds, std::function<void()> task, bool repeat);
    QObject context_;  // timers die with the scheduler
};

}  // namespace marrowick
