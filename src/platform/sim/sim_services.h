#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialogs.h"
#include "platform/input.h"
#include "platform/login_items.h"
#include "platform/pointer.h"
#include "platform/preference_domains.h"

// The small simulated services; the desktop (sim_desktop.h) drives them.
namespace marrowick::sim {

class SimPointer : public Pointer {
public:
    [[nodiscard]] Point location() const override { return location_; }
    [[nodiscard]] unsigned pressedButtons() const override { return buttons_; }
    Point location_;
    unsigned buttons_ = 0;
};

class SimInput : public Input {
public:
    // Hands an event to the watchers of our own windows or of the others'.
    void dispatch(const InputEvent& event, bool toOwn) const { deliver(event, toOwn); }
};

class SimDialogs : public Dialogs {
public:
    void activate() override { ++activations; }
    int runModal(const Alert& alert) override;
    void showAbout(const AboutInfo& info) override { abouts.push_back(info); }

    std::deque<int> answers;  // scripted answers; empty answers the second button
    std::vector<Alert> alerts;
    std::vector<AboutInfo> abouts;
    int activations = 0;
};

class SimLoginItems : public LoginItems {
public:
    [[nodiscard]] int status() const override { return statusValue; }
    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;
    int statusValue = 0;
    std::optional<std::string> failWith;
};

class SimPreferenceDomains : public PreferenceDomains {
public:
    [[nodiscard]] bool offered() const override { return offer; }
    std::optional<bool> boolean(std::string_view domain, std::string_view key) override;
    bool setBoolean(std::string_view domain, std::string_view key, bool value) override;
    bool offer = true;
    bool refuse = false;  // nothing can be stored
    std::map<std::pair<std::string, std::string>, bool> values;
};

}  // namespace marrowick::sim
