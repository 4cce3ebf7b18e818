#include "platform/input_monitors.h"

namespace marrowick {

Subscription MonitorList::addGlobal(std::uint64_t mask, InputMonitors::GlobalHandler handler) {
    return global_.add([mask, handler = std::move(handler)](const Event& event) {
        if ((mask & eventMask(event.type)) != 0) handler(event);
    });
}

Subscription MonitorList::addLocal(std::uint64_t mask, InputMonitors::LocalHandler handler) {
    return local_.add([mask, handler = std::move(handler)](std::optional<Event>& event) {
        if (event && (mask & eventMask(event->type)) != 0) event = handler(*event);
    });
}

void MonitorList::deliverGlobal(const Event& event) const { global_.call(event); }

std::optional<Event> MonitorList::deliverLocal(const Event& event) const {
    std::optional<Event> delivered = event;
    local_.call(delivered);
    return delivered;
}

}  // namespace marrowick
