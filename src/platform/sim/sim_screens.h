#pragma once

#include <map>

#include "platform/screens.h"

namespace marrowick::sim {

// Displays set by the test or the demo.
class SimScreens : public Screens {
public:
    [[nodiscard]] const std::vector<Screen>& screens() const override { return screens_; }
    [[nodiscard]] std::optional<std::string> uuidText(std::uint32_t displayId) const override;
    [[nodiscard]] Rect toNative(const Rect& r) const override;
    void addChangedHandler(std::function<void()> handler) override { handlers_.push_back(std::move(handler)); }
    [[nodiscard]] bool supportsTranslucency() const override { return translucency; }
    bool translucency = true;

    // Replaces the displays and tells the handlers.
    void setScreens(std::vector<Screen> screens);
    void setUuid(std::uint32_t displayId, std::string text) { uuids_[displayId] = std::move(text); }

private:
    std::vector<Screen> screens_;
    std::map<std::uint32_t, std::string> uuids_;
    std::vector<std::function<void()>> handlers_;
};

}  // namespace marrowick::sim
