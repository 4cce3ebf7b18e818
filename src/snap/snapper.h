#pragma once

#include <memory>
#include <optional>

#include "platform/platform.h"
#include "snap/overlay_hooks.h"
#include "snap/tile_outline.h"
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
    // Seconds any window request made on the main thread may take.
    static constexpr float requestTimeout = 0.2F;
    // Other applications' presses, releases, drags, keys and modifier changes; our own keys and
    // modifier changes.
    static constexpr std::uint64_t globalMask =
        eventMask(EventType::leftMouseDown) | eventMask(EventType::leftMouseUp) |
        eventMask(EventType::leftMouseDragged) | eventMask(EventType::keyDown) | eventMask(EventType::flagsChanged);
    static constexpr std::uint64_t localMask = eventMask(EventType::keyDown) | eventMask(EventType::flagsChanged);

    // overlay, when given, must outlive the snapper.
    Snapper(Platform& platform, std::unique_ptr<TileOutline> outline, OverlayHooks* overlay = nullptr);
    ~Snapper();
    Snapper(const Snapper&) = delete;
    Snapper& operator=(const Snapper&) = delete;

    // Installs the two monitors; called once.
    void begin();
    void handle(const Event& event);

    [[nodiscard]] const TileOutline& outline() const { return *outline_; }
    [[nodiscard]] const std::optional<Element>& window() const { return window_; }
    [[nodiscard]] const std::optional<Rect>& target() const { return target_; }
    [[nodiscard]] bool isMoving() const { return moving_; }

private:
    void update(std::uint64_t flags);
    void finish();
    void disarm();

    OverlayHooks* overlay_;
    Platform& platform_;
    WindowAccess access_;
    std::unique_ptr<TileOutline> outline_;
    std::optional<Element> window_;
    std::optional<Point> start_;
    bool moving_ = false;
    std::optional<Rect> target_;
    std::optional<Subscription> globalMonitor_;
    std::optional<Subscription> localMonitor_;
};

}  // namespace marrowick
