#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marrowick {

// The command-line options, each an exact whole argument.
struct Options {
    bool preview = false;
    bool overlay = false;
    bool settings = false;
    bool about = false;
    bool noPrompt = false;  // accepted and ignored: nothing asks for a permission here
    bool help = false;
    bool version = false;

    // The arguments after the program's name. Anything but the options (an unknown option, a
    // value, a plain word) makes them invalid: none, and error says why.
    static std::optional<Options> parse(std::span<const std::string_view> args, std::string& error);

    // Whether any option asks for something to be shown.
    [[nodiscard]] bool showsSomething() const { return preview || overlay || settings || about; }
    // The options that ask for something to be shown, as arguments: what a later launch hands to
    // the running instance.
    [[nodiscard]] std::vector<std::string> forwarded() const;
};

// What --help prints.
[[nodiscard]] std::string usage();

}  // namespace marrowick
