#include "snap/snapper.h"

#include <cmath>

#include "settings/screen_layout.h"
#include "settings/settings.h"

namespace marrowick {

Snapper::Snapper(Platform& platform, std::unique_ptr<TileOutline> outline, OverlayHooks* overlay)
    : overlay_(overlay),
      platform_(platform),
      access_(platform.accessibility(), platform.screens(), platform.pointer()),
      outline_(std::move(outline)) {}

Snapper::~Snapper() = default;

void Snapper::begin() {
    // An application that hangs must not freeze every drag: bound each request on this thread.
    Accessibility& ax = platform_.accessibility();
    ax.setMessagingTimeout(ax.systemWide(), requestTimeout);
    // A monitor the platform refuses is left out; the other one still works.
    globalMonitor_ = platform_.input().addGlobal(globalMask, [this](const Event& e) { handle(e); });
    localMonitor_ = platform_.input().addLocal(localMask, [this](const Event& e) -> std::optional<Event> {
        handle(e);
        return e;
    });
}

void Snapper::handle(const Event& event) {
    switch (event.type) {
        case EventType::leftMouseDown:
            if (overlay_ != nullptr) overlay_->interrupt();
            window_ = access_.windowUnderPointer();
            start_ = window_ ? access_.position(*window_) : std::nullopt;
            moving_ = false;
            target_.reset();
            break;
        case EventType::leftMouseUp:
            finish();
            break;
        case EventType::leftMouseDragged:
            update(event.modifierFlags);
            break;
        case EventType::keyDown:
            // A key press does not cancel a snap, unless it cancels the window's move itself: then
            // the window goes back and this drag must not move it either.
            if (overlay_ != nullptr) overlay_->interrupt();
            if (event.cancelsWindowMove) {
                disarm();
                window_.reset();
            }
            break;
        case EventType::flagsChanged:
            if (overlay_ != nullptr) overlay_->keysChanged(event.modifierFlags);
            update(event.modifierFlags);
            break;
        default:
            break;
    }
}

void Snapper::disarm() {
    target_.reset();
    outline_->hide();
}

void Snapper::update(std::uint64_t flags) {
    if (!window_) return;
    if (!moving_) {
        if (!start_) return disarm();
        const auto now = access_.position(*window_);
        if (!now || std::abs(now->x - start_->x) + std::abs(now->y - start_->y) <= threshold) return disarm();
        moving_ = true;
    }
    if (!keysMatch(flags, Settings::keys())) return disarm();
    target_ = tileUnderPointer(platform_.pointer().location(), platform_.screens().screens());
    if (target_) {
        outline_->show(*target_);
    } else {
        outline_->hide();
    }
}

void Snapper::finish() {
    outline_->hide();
    if (window_ && target_) {
        // The task has its own copies: a drag that begins before it runs cannot change them.
        platform_.scheduler()
            .after(moveDelay, [access = access_, window = *window_, rect = *target_] { access.move(window, rect); })
            .detach();
    }
    window_.reset();
    target_.reset();
}

}  // namespace marrowick
