#pragma once

#include <map>

#include "platform/screens.h"

namespace marrowick::sim {

// Monitors set by the test or the demo.
class SimScreens : public Screens {
public:
    [[nodiscard]] const std::vector<Screen>& screens() const override { return screens_; }
    [[nodiscard]] std::optional<std::string> uuidText(std::uint32_t displayId) const override;
    Subscription addChangedHandler(std::function<void()> handler) override { return handlers_.add(std::move(handler)); }

    // Replaces the monitors and tells the handlers.
    void setScreens(std::vector<Screen> screens);
    void setUuid(std::uint32_t displayId, std::string text) { uuids_[displayId] = std::move(text); }

private:
    std::vector<Screen> screens_;
    std::map<std::uint32_t, std::string> uuids_;
    HandlerList<> handlers_;
};

}  // namespace marrowick::sim
