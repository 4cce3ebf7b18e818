#include "platform/x11/qt_stacking.h"

#include <xcb/xcb.h>

#include <QGuiApplication>

namespace marrowick::x11 {

bool stackQtWindowBelow(std::uint32_t ours, std::uint32_t sibling) {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
    if (c == nullptr) return false;
    const std::uint32_t values[] = {sibling, XCB_STACK_MODE_BELOW};
    const xcb_void_cookie_t cookie =
        xcb_configure_window_checked(c, ours, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
    xcb_discard_reply(c, cookie.sequence);
    xcb_flush(c);
    return true;
}

}  // namespace marrowick::x11
