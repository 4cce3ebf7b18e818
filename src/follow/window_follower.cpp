#include "follow/window_follower.h"

#include <cmath>
#include <string>

#include "base/log.h"
#include "settings/screen_layout.h"
#include "windows/window_access.h"

namespace marrowick {

namespace {

bool fills(const Rect& window, const Rect& tile) {
    auto near = [](double a, double b) { return std::abs(a - b) <= WindowFollower::tolerance; };
    return near(window.minX(), tile.minX()) && near(window.maxX(), tile.maxX()) && near(window.minY(), tile.minY()) &&
           near(window.maxY(), tile.maxY());
}

template <class T>
std::optional<T> read(Accessibility& ax, const Element& e, std::string_view name) {
    AXReply r = ax.copyAttribute(e, name);
    if (r.error != AXError::success) return std::nullopt;
    if (const T* v = r.value.as<T>()) return *v;
    return std::nullopt;
}

}  // namespace

WindowFollower::WindowFollower(Accessibility& accessibility, const Workspace& workspace, const Screens& screens)
    : ax_(accessibility), workspace_(workspace), screens_(screens) {}

WindowFollower::~WindowFollower() = default;

std::vector<Rect> WindowFollower::axTiles(const Screen& screen) const {
    std::vector<Rect> out;
    const auto h = primaryHeight(screens_);
    if (!h) return out;
    for (const Rect& t : tiles(screen)) out.push_back(axRect(t, *h));
    return out;
}

void WindowFollower::capture(const Screen& screen) {
    std::vector<Rect> rects = axTiles(screen);
    std::vector<int> pids;
    const int own = workspace_.ownPid();
    for (const RunningApplication& app : workspace_.runningApplications()) {
        if (app.activationPolicy == ActivationPolicy::regular && app.pid != own) pids.push_back(app.pid);
    }
    queue_.async([this, rects = std::move(rects), pids = std::move(pids)] { capturePass(rects, pids); });
}

void WindowFollower::capturePass(const std::vector<Rect>& rects, const std::vector<int>& pids) {
    std::vector<Follower> found;
    for (int pid : pids) {
        const Element app = ax_.application(pid);
        ax_.setMessagingTimeout(app, messagingTimeout);
        const auto windows = read<Value::List>(ax_, app, "AXWindows");
        if (!windows) continue;
        for (const Value& item : *windows) {
            const Element* window = item.as<Element>();
            if (window == nullptr) continue;
            ax_.setMessagingTimeout(*window, messagingTimeout);
            const auto subrole = read<std::string>(ax_, *window, "AXSubrole");
            if (!subrole || *subrole != "AXStandardWindow") continue;
            if (read<bool>(ax_, *window, "AXMinimized").value_or(false)) continue;
            const auto position = read<Point>(ax_, *window, "AXPosition");
            if (!position) continue;
            const auto size = read<Size>(ax_, *window, "AXSize");
            if (!size) continue;
            const Rect frame{position->x, position->y, size->width, size->height};
            for (std::size_t i = 0; i < rects.size(); ++i) {
                if (fills(frame, rects[i])) {
                    found.push_back({*window, i, frame});
                    break;
                }
            }
        }
    }
    followers_ = std::move(found);
    note("following " + std::to_string(followers_.size()) + " windows");
}

void WindowFollower::update(const Screen& screen) {
    std::vector<Rect> rects = axTiles(screen);
    bool wasScheduled = false;
    {
        std::lock_guard guard(lock_);
        latest_ = std::move(rects);
        wasScheduled = scheduled_;
        scheduled_ = true;
    }
    if (!wasScheduled) queue_.async([this] { applyPass(); });
}

void WindowFollower::applyPass() {
    std::vector<Rect> rects;
    {
        std::lock_guard guard(lock_);
        rects = latest_;
        scheduled_ = false;
    }
    for (Follower& f : followers_) {
        if (f.section >= rects.size()) continue;
        const Rect& target = rects[f.section];
        if (target.origin() != f.frame.origin()) ax_.setAttribute(f.window, "AXPosition", Value(target.origin()));
        if (target.size() != f.frame.size()) ax_.setAttribute(f.window, "AXSize", Value(target.size()));
        f.frame = target;
    }
}

}  // namespace marrowick
