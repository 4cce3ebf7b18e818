#include "overlay/live_overlay.h"

#include "settings/screen_layout.h"
#include "settings/settings.h"

namespace marrowick {

LiveOverlay::LiveOverlay(Platform& platform, WindowFollower& follower)
    : follower_(follower),
      platform_(platform),
      outlines_(platform.screens()),
      screensChanged_(platform.screens().addChangedHandler([this] {
          if (shown_) layout();
      })) {}

LiveOverlay::~LiveOverlay() = default;

void LiveOverlay::cancelPending() {
    pending_.cancel();
    armed_ = false;
}

void LiveOverlay::keysChanged(std::uint64_t flags) {
    const bool held = keysMatch(flags, Settings::keys());
    if (held == keysHeld_) return;
    keysHeld_ = held;
    cancelPending();
    if (held) {
        if (!Settings::liveOverlay()) return;
        // Keys pressed in the middle of a click or drag are not a request for the overlay.
        if (platform_.pointer().pressedButtons() != 0) return;
        armed_ = true;
        pending_ = platform_.scheduler().after(overlayDelay, [this] {
            armed_ = false;
            layout();
        });
        return;
    }
    // A handle drag keeps the overlay until its release.
    if (!dragging_) hide();
}

void LiveOverlay::interrupt() {
    cancelPending();
    if (!dragging_) hide();
}

void LiveOverlay::show(double seconds) {
    layout();
    timedHides_.push_back(platform_.scheduler().after(seconds, [this] { hide(); }));
}

void LiveOverlay::hide() {
    shown_ = false;
    outlines_.hide();
    for (auto& h : handles_) h->hide();
}

void LiveOverlay::layout() {
    shown_ = true;
    const std::vector<Screen> screens = platform_.screens().screens();
    std::vector<Rect> rects;
    for (const Screen& s : screens) {
        for (const Rect& t : tiles(s)) rects.push_back(t);
    }
    outlines_.show(rects, Settings::outlineStyle());
    std::size_t j = 0;
    for (const Screen& s : screens) {
        const std::size_t count = Settings::dividers(s).size();
        for (std::size_t l = 0; l < count; ++l, ++j) {
            if (j == handles_.size()) makeHandle();
            handles_[j]->place(s, l);
        }
    }
    for (; j < handles_.size(); ++j) handles_[j]->hide();
}

DividerHandle& LiveOverlay::makeHandle() {
    auto& handle = *handles_.emplace_back(std::make_unique<DividerHandle>(platform_.screens(), platform_.pointer()));
    // The overlay owns the handle and the handle its view: both outlive these callbacks.
    HandleView& view = handle.view();
    view.onBegin = [this, &handle] {
        dragging_ = true;
        if (handle.screen()) follower_.capture(*handle.screen());
    };
    view.onDrag = [this, &handle] {
        const std::optional<Screen> stored = handle.followPointer();
        layout();
        if (stored) follower_.update(*stored);
        platform_.notifications().post(Settings::dividersChanged);
    };
    view.onEnd = [this] {
        dragging_ = false;
        if (!keysHeld_) hide();
    };
    return handle;
}

}  // namespace marrowick
