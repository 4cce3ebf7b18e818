#include "overlay/live_overlay.h"

#include "settings/screen_layout.h"
#include "settings/settings.h"

namespace marrowick {

LiveOverlay::LiveOverlay(Platform& platform, WindowFollower& follower, NotificationCenter& notifications)
    : follower_(follower),
      platform_(platform),
      notifications_(notifications),
      outlines_(platform.surfaces()),
      screensChanged_(platform.screens().addChangedHandler([this] { screensChanged(); })) {}

LiveOverlay::~LiveOverlay() = default;

void LiveOverlay::cancelPending() {
    pending_.cancel();
    armed_ = false;
}

void LiveOverlay::keysChanged(Modifiers held) {
    const bool matches = held == Settings::keys();
    if (matches == keysHeld_) return;
    keysHeld_ = matches;
    cancelPending();
    if (matches) {
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
    if (!dragging()) hide();
}

void LiveOverlay::interrupt() {
    cancelPending();
    if (!dragging()) hide();
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

void LiveOverlay::endDrag() {
    dragging_.reset();
    if (!keysHeld_) hide();
}

void LiveOverlay::screensChanged() {
    // A drag whose monitor went ends there: its handle would otherwise be laid out on another
    // monitor's divider and move that one.
    if (dragging_) {
        bool present = false;
        for (const Screen& s : platform_.screens().screens())
            present = present || Settings::displayKey(s) == *dragging_;
        if (!present) endDrag();
    }
    if (shown_) layout();
}

DividerHandle& LiveOverlay::makeHandle() {
    auto& handle = *handles_.emplace_back(std::make_unique<DividerHandle>(platform_));
    // The overlay owns the handle and the handle its surface: both outlive these callbacks.
    HandleSurface& surface = handle.surface();
    surface.onPress = [this, &handle] {
        if (!handle.screen()) return;
        dragging_ = Settings::displayKey(*handle.screen());
        follower_.capture(*handle.screen());
    };
    surface.onDrag = [this, &handle] {
        // Only the drag's own monitor: a handle laid out anew on another one moves nothing.
        const bool ours = dragging_ && handle.screen() && Settings::displayKey(*handle.screen()) == *dragging_;
        const std::optional<Screen> stored = ours ? handle.followPointer() : std::nullopt;
        layout();
        if (stored) follower_.update(*stored);
        notifications_.post(Settings::dividersChanged);
    };
    surface.onRelease = [this] {
        if (dragging_) endDrag();
    };
    return handle;
}

}  // namespace marrowick
