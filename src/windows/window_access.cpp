#include "windows/window_access.h"

#include <charconv>

#include "base/log.h"

namespace marrowick {

namespace {
constexpr int ancestorBudget = 29;
}

std::optional<double> primaryHeight(const Screens& screens) {
    const auto& list = screens.screens();
    if (list.empty()) return std::nullopt;
    return list.front().frame.maxY();
}

std::string shortestDecimal(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, ec == std::errc() ? end : buf);
    if (s.find_first_of(".en") == std::string::npos) s += ".0";  // not for 1e+20, inf or nan
    return s;
}

std::optional<Point> WindowAccess::axPoint(double x, double y) const {
    auto h = primaryHeight(screens_);
    if (!h) return std::nullopt;
    return marrowick::axPoint({x, y}, *h);
}

std::optional<Rect> WindowAccess::axRect(const Rect& r) const {
    auto h = primaryHeight(screens_);
    if (!h) return std::nullopt;
    return marrowick::axRect(r, *h);
}

std::optional<Value> WindowAccess::attribute(const Element& element, std::string_view name) const {
    AXReply reply = ax_.copyAttribute(element, name);
    if (reply.error != AXError::success) return std::nullopt;
    return std::move(reply.value);
}

std::optional<Element> WindowAccess::windowUnderPointer() const {
    const Point p = pointer_.location();
    const auto at = axPoint(p.x, p.y);
    if (!at) return std::nullopt;
    AXReply hit = ax_.elementAtPosition(ax_.systemWide(), static_cast<float>(at->x), static_cast<float>(at->y));
    const Element* found = hit.value.as<Element>();
    if (hit.error != AXError::success || found == nullptr) return std::nullopt;

    Element current = *found;
    for (int budget = ancestorBudget;; --budget) {
        if (auto role = attribute(current, "AXRole")) {
            if (const auto* text = role->as<std::string>(); text != nullptr && *text == "AXWindow") return current;
        }
        if (auto window = attribute(current, "AXWindow")) {
            // Anything but an element is treated as absent.
            if (const auto* e = window->as<Element>()) return *e;
        }
        auto parent = attribute(current, "AXParent");
        const Element* next = parent ? parent->as<Element>() : nullptr;
        if (next == nullptr || budget == 0) return std::nullopt;
        current = *next;
    }
}

std::optional<Point> WindowAccess::position(const Element& window) const {
    auto v = attribute(window, "AXPosition");
    if (!v) return std::nullopt;
    if (const auto* p = v->as<Point>()) return *p;
    return std::nullopt;
}

void WindowAccess::move(const Element& window, const Rect& r) const {
    const auto target = axRect(r);
    if (!target) return;
    const Value origin(target->origin());
    const Value size(target->size());
    ax_.setAttribute(window, "AXPosition", origin);
    ax_.setAttribute(window, "AXSize", size);
    // Again: a window that grew off the screen's edge may have been pushed back.
    const int result = ax_.setAttribute(window, "AXPosition", origin);
    note("snapped to (" + shortestDecimal(r.x) + ", " + shortestDecimal(r.y) + ", " + shortestDecimal(r.width) + ", " +
         shortestDecimal(r.height) + "), AX result " + std::to_string(result));
}

}  // namespace marrowick
