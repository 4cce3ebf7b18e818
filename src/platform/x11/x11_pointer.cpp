#include "platform/x11/x11_pointer.h"

#include "platform/x11/x11_input.h"

namespace marrowick::x11 {

X11Pointer::X11Pointer(std::unique_ptr<Connection> conn, X11Input* input) : conn_(std::move(conn)), input_(input) {}

X11Pointer::~X11Pointer() = default;

bool X11Pointer::query() const {
    auto r = conn_->await<xcb_query_pointer_reply_t>(xcb_query_pointer(conn_->get(), conn_->root()),
                                                     deadlineIn(requestTimeout));
    if (!r) return false;
    rootX_ = r->root_x;
    rootY_ = r->root_y;
    buttons_ = buttonsOf(r->mask);
    return true;
}

Point X11Pointer::location() const {
    if (auto known = input_ ? input_->eventPointer() : std::nullopt) return known->root;
    query();
    return Point{rootX_, rootY_};
}

unsigned X11Pointer::pressedButtons() const {
    if (auto known = input_ ? input_->eventPointer() : std::nullopt) return known->buttons;
    query();
    return buttons_;
}

}  // namespace marrowick::x11
