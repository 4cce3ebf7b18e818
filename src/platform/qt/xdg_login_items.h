#pragma once

#include <filesystem>

#include "platform/login_items.h"
#include "platform/preference_domains.h"

namespace marrowick {

// Start at login through an XDG autostart entry, as every Linux desktop reads them.
class XdgLoginItems : public LoginItems {
public:
    // The entry file (…/autostart/marrowick.desktop) and the command it starts.
    XdgLoginItems(std::filesystem::path entry, std::string command)
        : entry_(std::move(entry)), command_(std::move(command)) {}
    // $XDG_CONFIG_HOME/autostart/marrowick.desktop (default ~/.config).
    static std::filesystem::path defaultEntry();

    [[nodiscard]] int status() const override;
    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;

private:
    std::filesystem::path entry_;
    std::string command_;
};

// Where no other program's preference domains exist.
class NoPreferenceDomains : public PreferenceDomains {
public:
    [[nodiscard]] bool offered() const override { return false; }
    Defaults* open(std::string_view /*name*/) override { return nullptr; }
};

}  // namespace marrowick
