#include "platform/x11/x11_backend.h"

#include <unistd.h>

namespace marrowick::x11 {

std::unique_ptr<X11Backend> X11Backend::open(const std::string& display, XdgLoginItems loginItems) {
    auto screensConn = Connection::open(display);
    auto pointerConn = Connection::open(display);
    auto inputConn = Connection::open(display);
    if (!screensConn || !pointerConn || !inputConn) return nullptr;
    std::unique_ptr<X11Backend> b(new X11Backend(std::move(loginItems)));
    b->input_ = X11Input::create(std::move(inputConn), static_cast<int>(::getpid()));
    if (!b->input_) return nullptr;
    b->screens_ = std::make_unique<X11Screens>(std::move(screensConn));
    b->pointer_ = std::make_unique<X11Pointer>(std::move(pointerConn), b->input_.get());
    b->windows_ = std::make_unique<X11WindowControl>(display);
    // Without a compositing manager a see-through window shows opaque.
    b->surfaces_ =
        std::make_unique<QtSurfaces>([screens = b->screens_.get()] { return screens->compositing(); },
                                     [screens = b->screens_.get()](const Rect& r) { return screens->scaleAt(r); });
    return b;
}

}  // namespace marrowick::x11
