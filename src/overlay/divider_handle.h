#pragma once

#include <memory>
#include <optional>

#include "base/rect.h"
#include "platform/platform.h"

namespace marrowick {

// The strip on one divider of one monitor: its surface and which divider it serves. It never
// moves itself while dragged; the overlay places it again after each step.
class DividerHandle {
public:
    // The strip's size across the divider in points; it is centred on it.
    static constexpr double thickness = 28;

    DividerHandle(Platform& platform);
    ~DividerHandle();
    DividerHandle(const DividerHandle&) = delete;
    DividerHandle& operator=(const DividerHandle&) = delete;

    // Stands on divider index of the monitor (index below its divider count) and comes to the
    // front; the frame is set only when it differs.
    void place(const Screen& on, std::size_t index);
    // Moves this divider to the pointer and stores the monitor's new list. Answers the monitor
    // it stored for: none when the handle has no monitor, the monitor is gone, or index no
    // longer names one of its dividers.
    std::optional<Screen> followPointer();
    void hide();

    [[nodiscard]] HandleSurface& surface() const { return *surface_; }
    [[nodiscard]] const std::optional<Screen>& screen() const { return screen_; }
    [[nodiscard]] std::size_t index() const { return index_; }

    // The strip over divider index of the monitor.
    [[nodiscard]] static Rect frameOn(const Screen& screen, std::size_t index);

private:
    const Screens& screens_;
    const Pointer& pointer_;
    std::unique_ptr<HandleSurface> surface_;
    std::optional<Screen> screen_;
    std::size_t index_ = 0;
};

}  // namespace marrowick
