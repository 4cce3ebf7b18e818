#pragma once

#include <memory>
#include <optional>

#include "platform/platform.h"
#include "snap/overlay_hooks.h"
#include "windows/window_access.h"

namespace marrowick {

// Watches drags in every application. While a window is dragged with exactly the drag keys
// held, its outline shows the tile under the pointer; on release the window is moved there.
class Snapper {
public:
    // Seconds between the release and the move, so the window manager has let go of the window.
    static constexpr double moveDelay = 0.05;
    // A window counts as dragged once it moved more than this (horizontal plus vertical).
    static constexpr double threshold = 2;

    // overlay, when given, must outlive the snapper.
    explicit Snapper(Platform& platform, OverlayHooks* overlay = nullptr);
    ~Snapper();
    Snapper(const Snapper&) = delete;
    Snapper& operator=(const Snapper&) = delete;

    // Starts watching input; called once.
    void begin();
    void handle(const InputEvent& event);

    [[nodiscard]] const std::optional<Window>& window() const { return window_; }
    [[nodiscard]] const std::optional<Rect>& target() const { return target_; }
    [[nodiscard]] bool isMoving() const { return moving_; }

private:
    void update(Modifiers held);
    void finish();
    void disarm();

    OverlayHooks* overlay_;
    Platform& platform_;
    WindowAccess access_;
    std::unique_ptr<OutlineSurface> outline_;
    std::optional<Window> window_;
    std::optional<Point> start_;
    bool moving_ = false;
    std::optional<Rect> target_;
    Subscription others_;
    Subscription own_;
};

}  // namespace marrowick
