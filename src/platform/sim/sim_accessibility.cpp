#include "platform/sim/sim_accessibility.h"

#include <algorithm>

namespace marrowick::sim {

namespace {
constexpr float defaultTimeout = 6.0F;  // what an element waits when nobody set a timeout

// Accessibility coordinates run downwards: the top edge is inside, the bottom one is not.
bool contains(const Rect& r, Point p) { return p.x >= r.minX() && p.x < r.maxX() && p.y >= r.minY() && p.y < r.maxY(); }
}  // namespace

bool SimAccessibility::isTrusted(bool prompt) {
    std::lock_guard l(m_);
    if (prompt && !trusted_) ++prompts_;
    return trusted_;
}

const SimAccessibility::Node* SimAccessibility::node(std::uint64_t id) const {
    auto it = nodes_.find(id);
    return it == nodes_.end() ? nullptr : &it->second;
}

std::uint64_t SimAccessibility::appOf(int pid) {
    for (auto& [id, n] : nodes_) {
        if (n.kind == Kind::application && n.pid == pid) return id;
    }
    const std::uint64_t id = next_++;
    Node n;
    n.kind = Kind::application;
    n.pid = pid;
    n.role = "AXApplication";
    nodes_.emplace(id, std::move(n));
    return id;
}

Element SimAccessibility::application(int pid) {
    std::lock_guard l(m_);
    return {appOf(pid)};
}

int SimAccessibility::begin(std::uint64_t id) const {
    ++requestsByThread_[std::this_thread::get_id()];
    if (id == systemWideId) return AXError::success;
    const Node* n = node(id);
    if (n == nullptr) return AXError::invalidUIElement;
    auto d = delays_.find(n->pid);
    if (d == delays_.end() || d->second <= 0) return AXError::success;
    const float timeout = n->timeout > 0 ? n->timeout : (globalTimeout_ > 0 ? globalTimeout_ : defaultTimeout);
    if (d->second > timeout) {
        waited_ += timeout;
        return AXError::cannotComplete;
    }
    waited_ += d->second;
    return AXError::success;
}

AXReply SimAccessibility::elementAtPosition(const Element& root, float x, float y) {
    std::lock_guard l(m_);
    if (root.id != systemWideId) return {AXError::illegalArgument, {}};
    ++requestsByThread_[std::this_thread::get_id()];
    if (hitError_ != AXError::success) return {hitError_, {}};
    const Point p{x, y};
    for (std::uint64_t w : zOrder_) {
        const Node& win = nodes_.at(w);
        if (win.minimized || !contains(win.frame, p)) continue;
        // The deepest child under the point, else the window itself.
        std::uint64_t hit = w;
        for (bool deeper = true; deeper;) {
            deeper = false;
            for (const auto& [id, n] : nodes_) {
                if (n.kind == Kind::child && n.parent == hit && contains(n.frame, p)) {
                    hit = id;
                    deeper = true;
                    break;
                }
            }
        }
        if (begin(hit) != AXError::success) return {AXError::cannotComplete, {}};
        return {AXError::success, Value(Element{hit})};
    }
    return {AXError::noValue, {}};
}

AXReply SimAccessibility::copyAttribute(const Element& element, std::string_view name) {
    std::lock_guard l(m_);
    if (int e = begin(element.id); e != AXError::success) return {e, {}};
    if (element.id == systemWideId) {
        if (name == "AXRole") return {AXError::success, Value("AXSystemWide")};
        return {AXError::attributeUnsupported, {}};
    }
    const Node& n = nodes_.at(element.id);
    if (auto f = n.failures.find(name); f != n.failures.end()) return {f->second, {}};
    if (auto o = n.overrides.find(name); o != n.overrides.end()) return {AXError::success, o->second};

    if (name == "AXRole") return {AXError::success, Value(n.role)};
    if (name == "AXParent") {
        if (n.parent == 0) return {AXError::noValue, {}};
        return {AXError::success, Value(Element{n.parent})};
    }
    switch (n.kind) {
        case Kind::application:
            if (name == "AXWindows") {
                Value::List list;
                for (std::uint64_t w : n.windows) list.emplace_back(Element{w});
                return {AXError::success, Value(std::move(list))};
            }
            break;
        case Kind::window:
            if (name == "AXSubrole") return {AXError::success, Value(n.subrole)};
            if (name == "AXMinimized") return {AXError::success, Value(n.minimized)};
            if (name == "AXPosition") return {AXError::success, Value(n.frame.origin())};
            if (name == "AXSize") return {AXError::success, Value(n.frame.size())};
            break;
        case Kind::child:
            if (name == "AXWindow") {
                if (!n.reportsWindow) return {AXError::noValue, {}};
                return {AXError::success, Value(Element{n.window})};
            }
            if (name == "AXPosition") return {AXError::success, Value(n.frame.origin())};
            if (name == "AXSize") return {AXError::success, Value(n.frame.size())};
            break;
    }
    return {AXError::attributeUnsupported, {}};
}

int SimAccessibility::setAttribute(const Element& element, std::string_view name, const Value& value) {
    std::lock_guard l(m_);
    if (int e = begin(element.id); e != AXError::success) return e;
    if (element.id == systemWideId) return AXError::illegalArgument;
    Node& n = nodes_.at(element.id);
    writes_.push_back({element, std::string(name), value});
    if (auto f = n.failures.find(name); f != n.failures.end()) return f->second;
    if (n.kind != Kind::window) return AXError::attributeUnsupported;
    if (name == "AXPosition") {
        const Point* p = value.as<Point>();
        if (p == nullptr) return AXError::illegalArgument;
        moveTo(element.id, *p);
        return AXError::success;
    }
    if (name == "AXSize") {
        const Size* s = value.as<Size>();
        if (s == nullptr) return AXError::illegalArgument;
        if (!n.resizable) return AXError::cannotComplete;
        n.frame.width = std::max(s->width, n.minSize.width);
        n.frame.height = std::max(s->height, n.minSize.height);
        return AXError::success;
    }
    return AXError::attributeUnsupported;
}

int SimAccessibility::setMessagingTimeout(const Element& element, float seconds) {
    std::lock_guard l(m_);
    if (seconds < 0) return AXError::illegalArgument;
    if (element.id == systemWideId) {
        globalTimeout_ = seconds;  // the default of every element without one of its own
        return AXError::success;
    }
    auto it = nodes_.find(element.id);
    if (it == nodes_.end()) return AXError::invalidUIElement;
    it->second.timeout = seconds;
    return AXError::success;
}

Element SimAccessibility::addWindow(int pid, const WindowOptions& options) {
    std::lock_guard l(m_);
    const std::uint64_t app = appOf(pid);
    const std::uint64_t id = next_++;
    Node n;
    n.kind = Kind::window;
    n.pid = pid;
    n.role = "AXWindow";
    n.parent = app;
    n.window = id;
    n.frame = options.frame;
    n.subrole = options.subrole;
    n.minimized = options.minimized;
    n.minSize = options.minSize;
    n.resizable = options.resizable;
    nodes_.emplace(id, std::move(n));
    nodes_.at(app).windows.push_back(id);
    zOrder_.insert(zOrder_.begin(), id);
    return {id};
}

Element SimAccessibility::addChild(const Element& parent, std::string role, Rect frame, bool reportsWindow) {
    std::lock_guard l(m_);
    const Node& p = nodes_.at(parent.id);
    const std::uint64_t id = next_++;
    Node n;
    n.kind = Kind::child;
    n.pid = p.pid;
    n.role = std::move(role);
    n.parent = parent.id;
    n.window = p.window;
    n.reportsWindow = reportsWindow;
    n.frame = frame;
    nodes_.emplace(id, std::move(n));
    return {id};
}

void SimAccessibility::vanish(const Element& element) {
    std::lock_guard l(m_);
    // The element and everything below it go.
    std::set<std::uint64_t> gone{element.id};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [id, n] : nodes_) {
            if (!gone.contains(id) && (gone.contains(n.parent) || gone.contains(n.window))) {
                gone.insert(id);
                grew = true;
            }
        }
    }
    for (std::uint64_t id : gone) nodes_.erase(id);
    std::erase_if(zOrder_, [&](std::uint64_t w) { return gone.contains(w); });
    for (auto& [id, n] : nodes_) std::erase_if(n.windows, [&](std::uint64_t w) { return gone.contains(w); });
}

void SimAccessibility::raise(const Element& window) {
    std::lock_guard l(m_);
    auto it = std::find(zOrder_.begin(), zOrder_.end(), window.id);
    if (it == zOrder_.end()) return;
    zOrder_.erase(it);
    zOrder_.insert(zOrder_.begin(), window.id);
}

void SimAccessibility::failAttribute(const Element& element, std::string name, int error) {
    std::lock_guard l(m_);
    nodes_.at(element.id).failures.insert_or_assign(std::move(name), error);
}

void SimAccessibility::overrideAttribute(const Element& element, std::string name, Value value) {
    std::lock_guard l(m_);
    nodes_.at(element.id).overrides.insert_or_assign(std::move(name), std::move(value));
}

void SimAccessibility::setResponseDelay(int pid, double seconds) {
    std::lock_guard l(m_);
    delays_[pid] = seconds;
}

std::optional<Rect> SimAccessibility::frame(const Element& window) const {
    std::lock_guard l(m_);
    const Node* n = node(window.id);
    if (n == nullptr) return std::nullopt;
    return n->frame;
}

void SimAccessibility::setFrame(const Element& window, Rect f) {
    std::lock_guard l(m_);
    if (!nodes_.contains(window.id)) return;
    moveTo(window.id, f.origin());
    nodes_.at(window.id).frame = f;
}

void SimAccessibility::moveTo(std::uint64_t window, Point origin) {
    Rect& f = nodes_.at(window).frame;
    const double dx = origin.x - f.x;
    const double dy = origin.y - f.y;
    f.x = origin.x;
    f.y = origin.y;
    for (auto& [id, n] : nodes_) {
        if (n.kind == Kind::child && n.window == window) {
            n.frame.x += dx;
            n.frame.y += dy;
        }
    }
}

std::optional<Element> SimAccessibility::windowAt(Point p) const {
    std::lock_guard l(m_);
    for (std::uint64_t w : zOrder_) {
        const Node& win = nodes_.at(w);
        if (!win.minimized && contains(win.frame, p)) return Element{w};
    }
    return std::nullopt;
}

int SimAccessibility::requestsOnThread(std::thread::id id) const {
    std::lock_guard l(m_);
    auto it = requestsByThread_.find(id);
    return it == requestsByThread_.end() ? 0 : it->second;
}

}  // namespace marrowick::sim
