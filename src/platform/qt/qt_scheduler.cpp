#include "platform/qt/qt_scheduler.h"

#include <QTimer>
#include <cmath>

namespace marrowick {

TaskHandle QtScheduler::start(double seconds, std::function<void()> task, bool repeat) {
    auto cancelled = std::make_shared<bool>(false);
    auto* timer = new QTimer(&context_);  // owned by the context until it is done
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeat);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, repeat, cancelled, task = std::move(task)] {
        if (!*cancelled) task();
        if (!repeat || *cancelled) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(static_cast<int>(std::lround(std::max(0.0, seconds) * 1000)));
    return TaskHandle(cancelled);
}

TaskHandle QtScheduler::after(double seconds, std::function<void()> task) {
    return start(seconds, std::move(task), false);
}

TaskHandle QtScheduler::every(double seconds, std::function<void()> task) {
    return start(seconds, std::move(task), true);
}

}  // namespace marrowick
