#pragma once

#include <memory>
#include <optional>

#include "platform/platform.h"
#include "snap/outline.h"
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
    static constexpr std::uint64_t globalMask = 0x1446;
    static constexpr std::uint64_t localMask = 0x1400;

    Snapper(Platform& platform, std::unique_ptr<Outline> outline);
    ~Snapper();
    Snapper(const Snapper&) = delete;
    Snapper& operator=(const Snapper&) = delete;

    // Installs the two monitors; called once.
    void begin();
    void handle(const Event& event);

    [[nodiscard]] const Outline& outline() const { return *outline_; }
    [[nodiscard]] const std::optional<Element>& window() const { return window_; }
    [[nodiscard]] const std::optional<Rect>& target() const { return target_; }
    [[nodiscard]] bool isMoving() const { return moving_; }

private:
    void update(std::uint64_t flags);
    void finish();
    void disarm();

    Platform& platform_;
    WindowAccess access_;
    std::unique_ptr<Outline> outline_;
    std::optional<Element> window_;
    std::optional<Point> start_;
    bool moving_ = false;
    std::optional<Rect> target_;
    std::optional<Subscription> globalMonitor_;
    std::optional<Subscription> localMonitor_;
};

}  // namespace marrowick
