#pragma once

#include <memory>
#include <string>

#include "platform/x11/x11_accessibility.h"
#include "platform/x11/x11_input_monitors.h"
#include "platform/x11/x11_pointer.h"
#include "platform/x11/x11_screens.h"
#include "platform/x11/x11_workspace.h"

namespace marrowick::x11 {

// The five X11 services on one display, each with its own connection. Create it on the thread
// that runs the Qt event loop: screen changes and input arrive there.
class X11Backend {
public:
    // None when the display cannot be opened or lacks XInput 2 or XKB.
    static std::unique_ptr<X11Backend> open(const std::string& display = defaultDisplay());

    [[nodiscard]] X11Screens& screens() { return *screens_; }
    [[nodiscard]] X11Pointer& pointer() { return *pointer_; }
    [[nodiscard]] X11InputMonitors& input() { return *input_; }
    [[nodiscard]] X11Accessibility& accessibility() { return *accessibility_; }
    [[nodiscard]] X11Workspace& workspace() { return *workspace_; }

private:
    X11Backend() = default;
    std::unique_ptr<X11Screens> screens_;
    std::unique_ptr<X11Pointer> pointer_;
    std::unique_ptr<X11InputMonitors> input_;
    std::unique_ptr<X11Accessibility> accessibility_;
    std::unique_ptr<X11Workspace> workspace_;
};

}  // namespace marrowick::x11
