#include "snap/snapper.h"

#include <cmath>

#include "settings/screen_layout.h"
#include "settings/settings.h"

namespace marrowick {

Snapper::Snapper(Platform& platform, OverlayHooks* overlay)
    : overlay_(overlay),
      platform_(platform),
      access_(platform.windows(), platform.pointer()),
      outline_(platform.surfaces().outline()) {}

Snapper::~Snapper() = default;

void Snapper::begin() {
    others_ = platform_.input().watchOthers([this](const InputEvent& e) { handle(e); });
    // Our own windows' presses and drags are never snapped; their keys still count.
    own_ = platform_.input().watchOwn([this](const InputEvent& e) {
        if (e.kind == InputKind::key || e.kind == InputKind::modifiers) handle(e);
    });
}

void Snapper::handle(const InputEvent& event) {
    switch (event.kind) {
        case InputKind::press: {
            if (overlay_ != nullptr) overlay_->interrupt();
            window_ = access_.windowUnderPointer();
            start_.reset();
            if (window_) {
                if (const Result<Rect> frame = platform_.windows().frame(*window_)) start_ = frame->origin();
            }
            moving_ = false;
            target_.reset();
            break;
        }
        case InputKind::release:
            finish();
            break;
        case InputKind::drag:
            update(event.modifiers);
            break;
        case InputKind::key:
            // A key press does not cancel a snap, unless it cancels the window's move itself: then
            // the window goes back and this drag must not move it either.
            if (overlay_ != nullptr) overlay_->interrupt();
            if (event.cancelsWindowMove) {
                disarm();
                window_.reset();
            }
            break;
        case InputKind::modifiers:
            if (overlay_ != nullptr) overlay_->keysChanged(event.modifiers);
            update(event.modifiers);
            break;
    }
}

void Snapper::disarm() {
    target_.reset();
    outline_->hide();
}

void Snapper::update(Modifiers held) {
    if (!window_) return;
    if (!moving_) {
        if (!start_) return disarm();
        const Result<Rect> now = platform_.windows().frame(*window_);
        if (!now || std::abs(now->x - start_->x) + std::abs(now->y - start_->y) <= threshold) return disarm();
        moving_ = true;
    }
    if (held != Settings::keys()) return disarm();
    target_ = tileUnderPointer(platform_.pointer().location(), platform_.screens().screens());
    if (target_) {
        // Under the dragged window, which stays in sight above its tile.
        outline_->show(*target_, Settings::outlineStyle(), window_);
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
