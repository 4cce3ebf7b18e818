#include "platform/x11/event_watch.h"

#include <QTimer>

namespace marrowick::x11 {

std::unique_ptr<QSocketNotifier> watchEvents(int fd, const std::function<void()>& drain) {
    auto notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, drain);
    auto* first = new QTimer(notifier.get());  // owned by the notifier
    first->setSingleShot(true);
    QObject::connect(first, &QTimer::timeout, drain);
    first->start(0);
    return notifier;
}

}  // namespace marrowick::x11
