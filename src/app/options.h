#pragma once

#include <span>
#include <string_view>

namespace marrowick {

// The command-line options, each an exact whole argument; anything else is ignored.
struct Options {
    bool preview = false;
    bool overlay = false;
    bool settings = false;
    bool about = false;
    bool noPrompt = false;
    bool help = false;
    bool version = false;

    static Options parse(std::span<const std::string_view> args) {
        Options o;
        for (std::string_view a : args) {
            o.preview = o.preview || a == "--preview";
            o.overlay = o.overlay || a == "--overlay";
            o.settings = o.settings || a == "--settings";
            o.about = o.about || a == "--about";
            o.noPrompt = o.noPrompt || a == "--no-prompt";
            o.help = o.help || a == "--help";
            o.version = o.version || a == "--version";
        }
        return o;
    }
};

inline constexpr std::string_view usage =
    "Usage: marrowick [--preview] [--overlay] [--settings] [--about] [--no-prompt] [--help] [--version]\n"
    "Snaps windows into sections of a monitor: drag a window while holding Alt.\n"
    "  --preview    outline every tile of every screen for 3 seconds\n"
    "  --overlay    show the live overlay (tiles and divider handles) for 3 seconds\n"
    "  --settings   open the settings window\n"
    "  --about      show the About window\n"
    "  --no-prompt  do not ask for permissions at launch\n"
    "  --help       show this text\n"
    "  --version    show the version\n";

}  // namespace marrowick
