#include "follow/window_follower.h"

#include <cmath>
#include <string>

#include "base/log.h"
#include "settings/screen_layout.h"

namespace marrowick {

namespace {

bool fills(const Rect& window, const Rect& tile) {
    auto near = [](double a, double b) { return std::abs(a - b) <= WindowFollower::tolerance; };
    return near(window.minX(), tile.minX()) && near(window.maxX(), tile.maxX()) && near(window.minY(), tile.minY()) &&
           near(window.maxY(), tile.maxY());
}

}  // namespace

WindowFollower::WindowFollower(WindowControl& windows, int ownApplication)
    : windows_(windows), ownApplication_(ownApplication) {}

WindowFollower::~WindowFollower() = default;

void WindowFollower::capture(const Screen& screen) {
    queue_.async([this, rects = tiles(screen)] { capturePass(rects); });
}

void WindowFollower::capturePass(const std::vector<Rect>& rects) {
    std::vector<Follower> found;
    // Only other applications' main windows that are on screen: dialogs, panels and minimised
    // windows stay where they are.
    const auto windows = windows_.windows();
    for (const Window& window : windows ? *windows : std::vector<Window>{}) {
        const auto app = windows_.application(window);
        if (!app || *app == ownApplication_) continue;
        const auto kind = windows_.kind(window);
        if (!kind || *kind != WindowKind::normal) continue;
        if (windows_.minimized(window).optional().value_or(false)) continue;
        const auto frame = windows_.frame(window);
        if (!frame) continue;
        for (std::size_t i = 0; i < rects.size(); ++i) {
            if (fills(*frame, rects[i])) {
                found.push_back({window, i, *frame});
                break;
            }
        }
    }
    followers_ = std::move(found);
    note("following " + std::to_string(followers_.size()) + " windows");
}

void WindowFollower::update(const Screen& screen) {
    std::vector<Rect> rects = tiles(screen);
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
        // A window already at its tile gets no request; a refused one is not asked again.
        if (target != f.frame) (void)windows_.setFrame(f.window, target);
        f.frame = target;
    }
}

}  // namespace marrowick
