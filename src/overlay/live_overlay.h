#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "follow/window_follower.h"
#include "overlay/divider_handle.h"
#include "platform/platform.h"
#include "settings/notification_center.h"
#include "snap/outline_pool.h"
#include "snap/overlay_hooks.h"

namespace marrowick {

// While exactly the drag keys are held, with no mouse button down, shows after a moment every
// tile of every monitor and a handle on every divider. Dragging a handle moves its divider; the
// windows that filled the old tiles follow.
class LiveOverlay : public OverlayHooks {
public:
    // Seconds the keys must be held before the overlay shows.
    static constexpr double overlayDelay = 0.5;

    LiveOverlay(Platform& platform, WindowFollower& follower, NotificationCenter& notifications);
    ~LiveOverlay() override;
    LiveOverlay(const LiveOverlay&) = delete;
    LiveOverlay& operator=(const LiveOverlay&) = delete;

    void keysChanged(Modifiers held) override;
    void interrupt() override;
    // Shows the overlay now and hides it after the seconds, whatever the keys do meanwhile.
    void show(double seconds);

    [[nodiscard]] bool keysHeld() const { return keysHeld_; }
    [[nodiscard]] bool dragging() const { return dragging_.has_value(); }
    [[nodiscard]] bool isArmed() const { return armed_; }
    [[nodiscard]] const std::vector<std::unique_ptr<DividerHandle>>& handles() const { return handles_; }

private:
    void layout();
    void hide();
    void cancelPending();
    void endDrag();
    void screensChanged();
    DividerHandle& makeHandle();

    WindowFollower& follower_;
    Platform& platform_;
    NotificationCenter& notifications_;
    OutlinePool outlines_;
    std::vector<std::unique_ptr<DividerHandle>> handles_;
    TaskHandle pending_;
    bool armed_ = false;  // pending_ is set and has not run yet
    bool keysHeld_ = false;
    // The display key of the monitor whose divider a handle drag moves, while one does.
    std::optional<std::string> dragging_;
    bool shown_ = false;
    std::vector<TaskHandle> timedHides_;
    // A monitor that goes while the overlay is up takes its outlines and handles with it.
    Subscription screensChanged_;
};

}  // namespace marrowick
