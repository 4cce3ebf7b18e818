#include "platform/x11/x11_backend.h"

#include <unistd.h>

#include "platform/x11/qt_stacking.h"

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
    // Without a compositing manager a see-through window shows opaque. A dragged window's outline
    // goes just below the window manager's frame around it.
    b->surfaces_ =
        std::make_unique<QtSurfaces>([screens = b->screens_.get()] { return screens->compositing(); },
                                     [screens = b->screens_.get()](const Rect& r) { return screens->scaleAt(r); },
                                     [windows = b->windows_.get()](WId ours, Window below) {
                                         const Result<std::uint32_t> frame = windows->topLevel(below);
                                         return frame && stackQtWindowBelow(static_cast<std::uint32_t>(ours), *frame);
                                     });
    return b;
}

}  // namespace marrowick::x11
