#include "platform/x11/x11_backend.h"

#include <unistd.h>

namespace marrowick::x11 {

std::unique_ptr<X11Backend> X11Backend::open(const std::string& display, XdgLoginItems loginItems) {
    auto screensConn = Connection::open(display);
    auto pointerConn = Connection::open(display);
    auto inputConn = Connection::open(display);
    auto workspaceConn = Connection::open(display);
    if (!screensConn || !pointerConn || !inputConn || !workspaceConn) return nullptr;
    std::unique_ptr<X11Backend> b(new X11Backend(std::move(loginItems)));
    b->input_ = X11InputMonitors::create(std::move(inputConn), static_cast<int>(::getpid()));
    if (!b->input_) return nullptr;
    b->screens_ = std::make_unique<X11Screens>(std::move(screensConn));
    b->pointer_ = std::make_unique<X11Pointer>(std::move(pointerConn), *b->screens_, b->input_.get());
    b->accessibility_ = std::make_unique<X11Accessibility>(display);
    b->workspace_ = std::make_unique<X11Workspace>(std::move(workspaceConn));
    return b;
}

}  // namespace marrowick::x11
