#pragma once

#include <filesystem>
#include <string>

#include "platform/login_items.h"
#include "platform/preference_domains.h"

namespace marrowick {

// Start at login through an XDG autostart entry, as every Linux desktop reads them: a file in
// the user's autostart folder, named after the application id like the installed desktop
// entry, that starts one binary.
class XdgLoginItems : public LoginItems {
public:
    // The entry is <autostartDir>/<applicationId>.desktop; binary is an absolute path.
    XdgLoginItems(const std::filesystem::path& autostartDir, std::string applicationId, std::filesystem::path binary);
    // $XDG_CONFIG_HOME/autostart (default ~/.config/autostart).
    static std::filesystem::path defaultAutostartDir();
    // The binary an entry should start: the installed one when the running binary is it, so
    // the entry keeps naming the path that package upgrades replace; else the running binary;
    // empty when the running binary is not known (an entry then refuses to be written).
    static std::filesystem::path binaryToStart(const std::filesystem::path& running,
                                               const std::filesystem::path& installed);

    // Enabled when the entry exists, is not hidden or switched off, and starts our binary.
    [[nodiscard]] int status() const override;
    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;

    [[nodiscard]] const std::filesystem::path& entry() const { return entry_; }

private:
    std::filesystem::path entry_;
    std::string applicationId_;
    std::filesystem::path binary_;
};

// Where no other program's preference domains exist.
class NoPreferenceDomains : public PreferenceDomains {
public:
    [[nodiscard]] bool offered() const override { return false; }
    std::optional<bool> boolean(std::string_view /*domain*/, std::string_view /*key*/) override { return std::nullopt; }
    bool setBoolean(std::string_view /*domain*/, std::string_view /*key*/, bool /*value*/) override { return false; }
};

}  // namespace marrowick
