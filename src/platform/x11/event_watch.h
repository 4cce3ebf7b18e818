#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace marrowick::x11 {

// Calls drain whenever the connection's socket has data, and once from the event loop right
// away for events that were queued before the watch began.
[[nodiscard]] std::unique_ptr<QSocketNotifier> watchEvents(int fd, const std::function<void()>& drain);

}  // namespace marrowick::x11
