#pragma once

#include <string>
#include <vector>

namespace marrowick {

// The answer of a modal alert for its first button; the second is one more, and so on.
inline constexpr int alertFirstButton = 1000;

struct Alert {
    std::string message;
    std::string informative;
    std::vector<std::string> buttons;  // the first is the default button
};

struct AboutInfo {
    std::string name;
    std::string version;
    std::string creditsText;  // one centred, small line
    std::string creditsLink;  // where the line links to
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Brings this application in front of the others.
    virtual void activate() = 0;
    // Runs the alert modally; answers alertFirstButton + the index of the button chosen.
    virtual int runModal(const Alert& alert) = 0;
    // Shows the About panel, or brings it to the front again.
    virtual void showAbout(const AboutInfo& info) = 0;
};

}  // namespace marrowick
