#include "platform/x11/x11_input.h"

#include <xcb/xcbext.h>
#include <xcb/xinput.h>

#include <utility>
// xkb.h names a field "explicit", a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <QTimer>

#include "platform/x11/event_watch.h"
#include "platform/x11/x11_window_queries.h"

namespace marrowick::x11 {

unsigned buttonsOf(unsigned xMask) {
    unsigned b = 0;
    if (xMask & XCB_BUTTON_MASK_1) b |= Button::left;
    if (xMask & XCB_BUTTON_MASK_3) b |= Button::right;
    if (xMask & XCB_BUTTON_MASK_2) b |= Button::middle;
    return b;
}

Modifiers X11Input::modifiersOf(unsigned xMods) {
    Modifiers m;
    if (xMods & XCB_MOD_MASK_SHIFT) m = m.with(Key::shift);
    if (xMods & XCB_MOD_MASK_CONTROL) m = m.with(Key::control);
    if (xMods & XCB_MOD_MASK_1) m = m.with(Key::alt);
    if (xMods & XCB_MOD_MASK_4) m = m.with(Key::super);
    return m;
}

X11Input::X11Input(std::unique_ptr<Connection> conn, int ownPid) : conn_(std::move(conn)), ownPid_(ownPid) {}

X11Input::~X11Input() = default;

std::unique_ptr<X11Input> X11Input::create(std::unique_ptr<Connection> conn, int ownPid) {
    if (!conn) return nullptr;
    xcb_connection_t* c = conn->get();
    Deadline deadline = deadlineIn(1.0);
    const auto* xi = xcb_get_extension_data(c, &xcb_input_id);
    const auto* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
    if (!xi || !xi->present || !xkb || !xkb->present) return nullptr;
    auto version = conn->await<xcb_input_xi_query_version_reply_t>(xcb_input_xi_query_version(c, 2, 2), deadline);
    if (!version || version->major_version < 2) return nullptr;
    auto useXkb = conn->await<xcb_xkb_use_extension_reply_t>(xcb_xkb_use_extension(c, 1, 0), deadline);
    if (!useXkb || !useXkb->supported) return nullptr;

    std::unique_ptr<X11Input> m(new X11Input(std::move(conn), ownPid));
    m->xiOpcode_ = xi->major_opcode;
    m->xkbEvent_ = xkb->first_event;

    struct {
        xcb_input_event_mask_t head;
        std::uint32_t mask;
    } select{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
             XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE |
                 XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE |
                 XCB_INPUT_XI_EVENT_MASK_RAW_MOTION};
    auto selected = xcb_input_xi_select_events_checked(c, m->conn_->root(), 1, &select.head);
    xcb_xkb_select_events(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0,
                          XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0, 0, nullptr);
    if (!m->conn_->check(selected, deadline)) return nullptr;
    // Windows made from now on, to follow the pointer in and out of our own.
    const std::uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, m->conn_->root(), XCB_CW_EVENT_MASK, &rootEvents);

    auto state = m->conn_->await<xcb_xkb_get_state_reply_t>(xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD), deadline);
    if (state) m->held_ = modifiersOf(state->mods);
    // Modifier keys change the modifier state; they are no key presses of their own.
    auto mapping = m->conn_->await<xcb_get_modifier_mapping_reply_t>(xcb_get_modifier_mapping(c), deadline);
    if (mapping) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
        int n = xcb_get_modifier_mapping_keycodes_length(mapping.get());
        for (int i = 0; i < n; ++i)
            if (codes[i]) m->modifierKeys_.insert(codes[i]);
    }

    // Window managers cancel a move on Escape.
    const xcb_setup_t* setup = xcb_get_setup(c);
    auto keymap = m->conn_->await<xcb_get_keyboard_mapping_reply_t>(
        xcb_get_keyboard_mapping(c, setup->min_keycode,
                                 static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1)),
        deadline);
    if (keymap && keymap->keysyms_per_keycode > 0) {
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(keymap.get());
        const int n = xcb_get_keyboard_mapping_keysyms_length(keymap.get());
        for (int i = 0; i < n; ++i)
            if (syms[i] == escapeKeysym) m->escapeKeys_.insert(setup->min_keycode + i / keymap->keysyms_per_keycode);
    }

    auto* self = m.get();
    m->notifier_ = watchEvents(m->conn_->fd(), [self] { self->drain(); });
    m->tick_ = std::make_unique<QTimer>();
    m->tick_->setTimerType(Qt::PreciseTimer);
    m->tick_->setInterval(motionInterval);
    QObject::connect(m->tick_.get(), &QTimer::timeout, [self] { self->drain(); });
    return m;
}

void X11Input::drain() {
    xcb_connection_t* c = conn_->get();
    // One read of the socket; what it brought is handled from the queue.
    XPtr<xcb_generic_event_t> ev{xcb_poll_for_event(c)};
    for (;;) {
        for (; ev; ev.reset(xcb_poll_for_queued_event(c))) handle(ev.get());
        if (conn_->broken()) pending_.answerAll();
        collectPositions();
        askPositions();
        deliverReady();
        // Waiting for a reply may have read events the socket no longer signals.
        ev.reset(xcb_poll_for_queued_event(c));
        if (!ev) break;
    }
    pace();
}

void X11Input::pace() {
    if (!notifier_) return;
    if (conn_->broken()) {
        notifier_->setEnabled(false);  // the server is gone
        tick_->stop();
        return;
    }
    if (std::exchange(motionSinceTick_, false) && leftDown_) {
        // The pointer moves with the button down: read the socket once per interval instead of
        // at every motion, and collect the pointer's answers at the next interval.
        quietTicks_ = 0;
        const auto interval = positionWanted_ ? motionInterval : blindMotionInterval;
        if (!tick_->isActive() || tick_->intervalAsDuration() != interval) {
            notifier_->setEnabled(false);
            tick_->start(interval);
        }
        return;
    }
    if (!tick_->isActive()) return;
    if (leftDown_ && ++quietTicks_ < quietTickLimit) return;
    if (!pending_.empty()) return;  // answers still to come
    tick_->stop();
    notifier_->setEnabled(true);
}

std::optional<PointerSample> X11Input::eventPointer() {
    pointerAsked_ = true;
    return current_;
}

void X11Input::askPositions() {
    xcb_connection_t* c = conn_->get();
    bool asked = false;
    pending_.askPositions([&] {
        asked = true;
        return xcb_query_pointer(c, conn_->root()).sequence;
    });
    if (asked) xcb_flush(c);
}

void X11Input::collectPositions() {
    for (unsigned sequence : pending_.awaited()) {
        void* raw = nullptr;
        xcb_generic_error_t* rawError = nullptr;
        if (!xcb_poll_for_reply(conn_->get(), sequence, &raw, &rawError)) continue;
        const XPtr<xcb_query_pointer_reply_t> r(static_cast<xcb_query_pointer_reply_t*>(raw));
        const XPtr<xcb_generic_error_t> e(rawError);
        if (!r) {
            pending_.answer(sequence, std::nullopt);
            continue;
        }
        pending_.answer(sequence, PointerSample{{static_cast<double>(r->root_x), static_cast<double>(r->root_y)},
                                                buttonsOf(r->mask)});
    }
}

void X11Input::deliverReady() {
    while (auto ready = pending_.pop()) {
        current_ = ready->pointer;
        pointerAsked_ = false;
        deliver(ready->event, ready->own);
        // The next drags bring the position along while the watchers keep asking for it.
        if (pointerAsked_) {
            positionWanted_ = true;
        } else if (ready->event.kind == InputKind::drag) {
            positionWanted_ = false;
        }
        current_.reset();
    }
}

void X11Input::handle(xcb_generic_event_t* ev) {
    std::uint8_t type = eventType(*ev);
    switch (type) {
        case XCB_CREATE_NOTIFY:
            watchCrossingsIfOwn(reinterpret_cast<xcb_create_notify_event_t*>(ev)->window);
            return;
        case XCB_ENTER_NOTIFY:
            pointerInOwn_ = reinterpret_cast<xcb_enter_notify_event_t*>(ev)->event;
            return;
        case XCB_LEAVE_NOTIFY: {
            auto* leave = reinterpret_cast<xcb_leave_notify_event_t*>(ev);
            // Into a child window is still inside.
            if (leave->detail != XCB_NOTIFY_DETAIL_INFERIOR && pointerInOwn_ == leave->event) pointerInOwn_.reset();
            return;
        }
        default:
            break;
    }
    if (type == xkbEvent_) {
        auto* any = reinterpret_cast<xcb_xkb_state_notify_event_t*>(ev);
        if (any->xkbType != XCB_XKB_STATE_NOTIFY) return;
        const Modifiers held = modifiersOf(any->mods);
        // The state, not the key events, decides: doubled releases change nothing.
        if (held == held_) return;
        held_ = held;
        pending_.push({InputKind::modifiers, held_}, ownWindowHasFocus(), false);
        return;
    }
    if (type != XCB_GE_GENERIC) return;
    auto* ge = reinterpret_cast<xcb_ge_generic_event_t*>(ev);
    if (ge->extension != xiOpcode_) return;
    auto* raw = reinterpret_cast<xcb_input_raw_button_press_event_t*>(ev);
    switch (ge->event_type) {
        case XCB_INPUT_RAW_BUTTON_PRESS:
            if (raw->detail != 1 || leftDown_) return;
            leftDown_ = true;
            // The query alone could find the pointer already moved off (or onto) our window;
            // it stays for windows whose crossings were missed (mapped under a resting pointer).
            pressOwn_ = pointerInOwn_.has_value() || ownWindowUnderPointer();
            pending_.push({InputKind::press, held_}, pressOwn_, true);
            return;
        case XCB_INPUT_RAW_BUTTON_RELEASE:
            if (raw->detail != 1 || !leftDown_) return;
            leftDown_ = false;
            pending_.push({InputKind::release, held_}, pressOwn_, false);
            return;
        case XCB_INPUT_RAW_MOTION:
            if (!leftDown_) return;
            motionSinceTick_ = true;
            pending_.push({InputKind::drag, held_}, pressOwn_, positionWanted_);
            return;
        case XCB_INPUT_RAW_KEY_PRESS:
            if (modifierKeys_.count(raw->detail)) return;
            pending_.push({InputKind::key, held_, escapeKeys_.count(raw->detail) != 0}, ownWindowHasFocus(), false);
            return;
        default:
            return;
    }
}

bool X11Input::ownWindowHasFocus() {
    Deadline deadline = deadlineIn(requestTimeout);
    auto focus = conn_->await<xcb_get_input_focus_reply_t>(xcb_get_input_focus(conn_->get()), deadline);
    if (!focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT ||
        focus->focus == conn_->root())
        return false;
    WindowQueries q(*conn_, deadline);
    return q.pid(focus->focus) == ownPid_;
}

void X11Input::watchCrossingsIfOwn(xcb_window_t created) {
    WindowQueries q(*conn_, deadlineIn(requestTimeout));
    if (q.pid(created) != ownPid_) return;
    const std::uint32_t events = XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW;
    xcb_change_window_attributes(conn_->get(), created, XCB_CW_EVENT_MASK, &events);
    xcb_flush(conn_->get());
}

bool X11Input::ownWindowUnderPointer() {
    Deadline deadline = deadlineIn(requestTimeout);
    auto pointer = conn_->await<xcb_query_pointer_reply_t>(xcb_query_pointer(conn_->get(), conn_->root()), deadline);
    if (!pointer || pointer->child == XCB_NONE) return false;
    WindowQueries q(*conn_, deadline);
    // A managed window's frame belongs to the manager: ask about the client inside it.
    auto client = q.clientOf(pointer->child);
    return q.pid(client ? *client : pointer->child) == ownPid_;
}

}  // namespace marrowick::x11
