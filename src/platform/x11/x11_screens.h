#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <map>
#include <memory>

#include "platform/screens.h"
#include "platform/x11/x11_connection.h"

namespace marrowick::x11 {

// RandR 1.5 monitors as screens, primary first, in root-window pixels, each with its scale
// (monitorScale: Qt's variables, the Xft.dpi resource, GDK_SCALE). The list is read at
// construction and again after RandR, the work area or the X resources report a change (on the thread that
// created the service, through its event loop): however many reports come, at most one read per
// refreshInterval, from the event loop, so a flood of them starves nothing.
class X11Screens : public Screens {
public:
    static constexpr int refreshIntervalMs = 50;

    explicit X11Screens(std::unique_ptr<Connection> conn);
    ~X11Screens() override;

    [[nodiscard]] const std::vector<Screen>& screens() const override { return screens_; }
    [[nodiscard]] std::optional<std::string> uuidText(std::uint32_t displayId) const override;
    Subscription addChangedHandler(std::function<void()> handler) override;
    // The scale of the monitor whose frame holds the rectangle's centre; 1 where none does.
    [[nodiscard]] double scaleAt(const Rect& r) const;
    // True while a compositing manager owns its selection, so our windows can be see-through;
    // asked at most once a second.
    [[nodiscard]] bool compositing() const;

    // Reads the monitors again now; answers whether the list changed (and tells the handlers).
    bool refresh();

private:
    void drain();
    void refreshSoon();

    std::unique_ptr<Connection> conn_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer refreshTimer_;
    Deadline lastRefresh_;  // when the list was last read
    std::uint8_t randrEvent_ = 0;
    std::vector<Screen> screens_;
    std::map<std::uint32_t, std::optional<std::string>> uuids_;
    HandlerList<> handlers_;
    mutable bool compositing_ = false;
    mutable std::optional<Deadline> compositingUntil_;
};

}  // namespace marrowick::x11
