#include "platform/x11/qt_work_area_throttle.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstring>

namespace marrowick::x11 {

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }  // NOLINT(cppcoreguidelines-no-malloc)
};

}  // namespace

std::unique_ptr<QtWorkAreaThrottle> QtWorkAreaThrottle::install() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
    if (c == nullptr) return nullptr;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    constexpr const char* name = "_NET_WORKAREA";
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    if (!atom) return nullptr;
    // A window of Qt's connection: an event sent to it with no mask goes to Qt alone.
    const xcb_window_t inbox = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, inbox, root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t workArea = atom->atom;
    auto throttle = std::make_unique<QtWorkAreaThrottle>(root, workArea, [c, inbox, root, workArea] {
        xcb_property_notify_event_t change{};
        change.response_type = XCB_PROPERTY_NOTIFY;
        change.window = root;
        change.atom = workArea;
        change.time = XCB_CURRENT_TIME;
        change.state = XCB_PROPERTY_NEW_VALUE;
        xcb_send_event(c, 0, inbox, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&change));
        xcb_flush(c);
    });
    QCoreApplication::instance()->installNativeEventFilter(throttle.get());
    return throttle;
}

QtWorkAreaThrottle::QtWorkAreaThrottle(xcb_window_t root, xcb_atom_t workArea, std::function<void()> catchUp)
    : root_(root), workArea_(workArea), catchUp_(std::move(catchUp)) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (!held_) return;
        held_ = false;
        passed_ = Clock::now();
        catchUp_();
    });
}

QtWorkAreaThrottle::~QtWorkAreaThrottle() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool QtWorkAreaThrottle::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7fU) != XCB_PROPERTY_NOTIFY) return false;
    const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
    if (change->window != root_ || change->atom != workArea_) return false;
    // A change handed on by catchUp, or by another client: Qt reads it.
    if ((event->response_type & 0x80U) != 0) return false;
    const auto now = Clock::now();
    const auto next = passed_ + std::chrono::milliseconds(intervalMs);
    if (!timer_.isActive() && now >= next) {
        passed_ = now;
        return false;
    }
    held_ = true;
    if (!timer_.isActive()) {
        timer_.start(static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(next - now).count()));
    }
    return true;
}

}  // namespace marrowick::x11
