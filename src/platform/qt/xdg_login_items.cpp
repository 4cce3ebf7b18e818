#include "platform/qt/xdg_login_items.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace marrowick {

std::filesystem::path XdgLoginItems::defaultEntry() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (config != nullptr && *config == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home != nullptr ? home : "/") / ".config";
    }
    return base / "autostart" / "marrowick.desktop";
}

int XdgLoginItems::status() const {
    std::ifstream in(entry_);
    if (!in) return 0;
    std::stringstream text;
    text << in.rdbuf();
    return text.str().find("\nHidden=true") == std::string::npos ? enabled : 0;
}

std::optional<std::string> XdgLoginItems::registerItem() {
    std::error_code ec;
    std::filesystem::create_directories(entry_.parent_path(), ec);
    if (ec) return ec.message();
    std::filesystem::path tmp = entry_;
    tmp += ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << "[Desktop Entry]\nType=Application\nName=Marrowick\nComment=Snap windows into sections of a monitor\n"
            << "Exec=" << command_ << "\nX-GNOME-Autostart-enabled=true\n";
        if (!out.flush()) return "cannot write " + tmp.string();
    }
    std::filesystem::rename(tmp, entry_, ec);
    if (ec) return ec.message();
    return std::nullopt;
}

std::optional<std::string> XdgLoginItems::unregisterItem() {
    std::error_code ec;
    std::filesystem::remove(entry_, ec);
    if (ec) return ec.message();
    return std::nullopt;
}

}  // namespace marrowick
