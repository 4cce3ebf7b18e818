#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/defaults.h"
#include "platform/dialogs.h"
#include "platform/input_monitors.h"
#include "platform/login_items.h"
#include "platform/pointer.h"
#include "platform/preference_domains.h"
#include "platform/workspace.h"

// The small simulated services; the desktop (sim_desktop.h) drives them.
namespace marrowick::sim {

class SimPointer : public Pointer {
public:
    [[nodiscard]] Point location() const override { return location_; }
    [[nodiscard]] unsigned pressedButtons() const override { return buttons_; }
    Point location_;
    unsigned buttons_ = 0;
};

class SimInputMonitors : public InputMonitors {
public:
    std::optional<Subscription> addGlobal(std::uint64_t mask, GlobalHandler handler) override;
    std::optional<Subscription> addLocal(std::uint64_t mask, LocalHandler handler) override;

    // Hands an event to the monitors: toOwnApp events to the local ones, the rest to the global.
    // Answers what the local monitors passed on (the event our own windows then receive).
    std::optional<Event> dispatch(const Event& event, bool toOwnApp);

    bool refuseGlobal = false;
    bool refuseLocal = false;
    [[nodiscard]] std::size_t globalCount() const { return monitors_.globalCount(); }
    [[nodiscard]] std::size_t localCount() const { return monitors_.localCount(); }

private:
    MonitorList monitors_;
};

class SimWorkspace : public Workspace {
public:
    [[nodiscard]] std::vector<RunningApplication> runningApplications() const override { return apps; }
    [[nodiscard]] int ownPid() const override { return ownPidValue; }
    std::vector<RunningApplication> apps;
    int ownPidValue = 4242;
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
    Defaults* open(std::string_view name) override;
    bool offer = true;
    bool refuse = false;  // the domain cannot be opened
    std::map<std::string, std::unique_ptr<Defaults>, std::less<>> domains;
};

}  // namespace marrowick::sim
