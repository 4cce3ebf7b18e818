#include "platform/x11/x11_pointer.h"

#include "platform/x11/x11_input_monitors.h"
#include "platform/x11/x11_screens.h"

namespace marrowick::x11 {

X11Pointer::X11Pointer(std::unique_ptr<Connection> conn, const X11Screens& screens, X11InputMonitors* input)
    : conn_(std::move(conn)), screens_(screens), input_(input) {}

X11Pointer::~X11Pointer() = default;

bool X11Pointer::query() const {
    auto r = conn_->await<xcb_query_pointer_reply_t>(xcb_query_pointer(conn_->get(), conn_->root()),
                                                     deadlineIn(requestTimeout));
    if (!r) return false;
    rootX_ = r->root_x;
    rootY_ = r->root_y;
    buttons_ = 0;
    if (r->mask & XCB_BUTTON_MASK_1) buttons_ |= 1u;
    if (r->mask & XCB_BUTTON_MASK_3) buttons_ |= 2u;  // right is bit 1, the middle button bit 2
    if (r->mask & XCB_BUTTON_MASK_2) buttons_ |= 4u;
    return true;
}

Point X11Pointer::location() const {
    if (auto known = input_ ? input_->eventPointer() : std::nullopt) return screens_.fromNative(known->root);
    query();
    return screens_.fromNative(Point{rootX_, rootY_});
}

unsigned X11Pointer::pressedButtons() const {
    if (auto known = input_ ? input_->eventPointer() : std::nullopt) return known->buttons;
    query();
    return buttons_;
}

}  // namespace marrowick::x11
