#include "app/options.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>

#include "app/application_id.h"

namespace marrowick {

namespace {

struct Flag {
    const char* name;
    bool Options::*field;
};

constexpr Flag flags[] = {
    {"preview", &Options::preview}, {"overlay", &Options::overlay},    {"settings", &Options::settings},
    {"about", &Options::about},     {"no-prompt", &Options::noPrompt}, {"help", &Options::help},
    {"version", &Options::version},
};

// The ones a running instance acts on, in the order it acts.
constexpr Flag shown[] = {
    {"preview", &Options::preview},
    {"overlay", &Options::overlay},
    {"settings", &Options::settings},
    {"about", &Options::about},
};

}  // namespace

std::optional<Options> Options::parse(std::span<const std::string_view> args, std::string& error) {
    QCommandLineParser parser;
    // "-preview" is not "--preview": single-dash words are short options, which there are none of.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    for (const Flag& f : flags) parser.addOption(QCommandLineOption(QString::fromLatin1(f.name)));
    QStringList list{QStringLiteral("marrowick")};
    for (std::string_view a : args) list << QString::fromLocal8Bit(a.data(), static_cast<qsizetype>(a.size()));
    if (!parser.parse(list)) {
        // Named as it was typed: Qt would name "-about" as the five letters it reads there.
        const auto unknown = std::find_if(args.begin(), args.end(), [](std::string_view a) {
            return a.starts_with('-') && a != "--" && a.find('=') == std::string_view::npos &&
                   std::none_of(std::begin(flags), std::end(flags),
                                [a](const Flag& f) { return a == std::string("--") + f.name; });
        });
        error = !parser.unknownOptionNames().isEmpty() && unknown != args.end()
                    ? "Unknown option '" + std::string(*unknown) + "'."
                    : parser.errorText().toStdString();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = "Unexpected argument '" + parser.positionalArguments().front().toStdString() + "'.";
        return std::nullopt;
    }
    Options o;
    for (const Flag& f : flags) o.*f.field = parser.isSet(QString::fromLatin1(f.name));
    return o;
}

std::vector<std::string> Options::forwarded() const {
    std::vector<std::string> out;
    for (const Flag& f : shown) {
        if (this->*f.field) out.push_back(std::string("--") + f.name);
    }
    return out;
}

std::string usage() {
    const std::string id(applicationId);
    return "Usage: marrowick [--preview] [--overlay] [--settings] [--about] [--help] [--version]\n"
           "\n"
           "Snaps windows into sections of a monitor. Drag a window by its title bar while holding\n"
           "Alt: the tile under the pointer is outlined, and on release the window fills it. Holding\n"
           "Alt for half a second without dragging shows every tile, with a handle on each divider.\n"
           "The settings window gives each monitor its sections (a monitor at least 2.2 times as wide\n"
           "as it is tall starts with three columns, others with none), their direction and the gap\n"
           "between windows, and chooses the keys to hold instead of Alt, the live overlay, the\n"
           "outline's colours and shape, and start at login. It opens by itself at a start while no\n"
           "monitor has sections, and from the tray icon.\n"
           "\n"
           "Started while Marrowick runs, it hands the options to the running one and exits; with\n"
           "none, the running one opens its settings window.\n"
           "  --preview    outline every tile of every monitor for 3 seconds\n"
           "  --overlay    show the live overlay (tiles and divider handles) for 3 seconds\n"
           "  --settings   open the settings window\n"
           "  --about      show the About window\n"
           "  --help       show this text\n"
           "  --version    show the version\n"
           "\n"
           "Files:\n"
           "  $XDG_CONFIG_HOME/marrowick/settings.json  the settings (default ~/.config)\n"
           "  $XDG_STATE_HOME/Marrowick.log             the activity log, cleared at every start\n"
           "                                            (default ~/.local/state)\n"
           "  $XDG_CONFIG_HOME/autostart/" +
           id +
           ".desktop\n"
           "                                            written by \"Start at login\"\n"
           "\n"
           "An unknown option is an error (exit status 2). See marrowick(1).\n";
}

}  // namespace marrowick
