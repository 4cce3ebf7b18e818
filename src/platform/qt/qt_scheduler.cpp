#include "platform/qt/qt_scheduler.h"

#include <QTimer>
#include <cmath>

namespace marrowick {

namespace {
int milliseconds(double seconds) { return static_cast<int>(std::lround(std::max(0.0, seconds) * 1000)); }
}  // namespace

TaskHandle QtScheduler::after(double seconds, std::function<void()> task) {
    auto cancelled = std::make_shared<bool>(false);
    QTimer::singleShot(milliseconds(seconds), Qt::PreciseTimer, &context_, [cancelled, task = std::move(task)] {
        if (!*cancelled) task();
    });
    return TaskHandle(cancelled);
}

TaskHandle QtScheduler::every(double seconds, std::function<void()> task) {
    auto cancelled = std::make_shared<bool>(false);
    auto* timer = new QTimer(&context_);  // owned by the context; deleted once cancelled
    QObject::connect(timer, &QTimer::timeout, timer, [timer, cancelled, task = std::move(task)] {
        if (*cancelled) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        task();
        if (*cancelled) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(milliseconds(seconds));
    return TaskHandle(cancelled);
}

}  // namespace marrowick
