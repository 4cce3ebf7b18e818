#pragma once

#include <cstdint>

namespace marrowick::x11 {

// Puts a window of Qt's own just below a sibling (both children of the root) through Qt's own
// connection, so the request comes after Qt's own creating, mapping and raising of the window.
// False when Qt does not run on X11; an error (the sibling gone meanwhile) is dropped rather
// than reported to Qt. Measured with an override-redirect window below a dragged window's frame:
// openbox, xfwm4 (with and without its compositor), fluxbox, icewm and marco leave it there for
// the whole drag; metacity and mutter --x11 stack it back above the frame.
bool stackQtWindowBelow(std::uint32_t ours, std::uint32_t sibling);

}  // namespace marrowick::x11
