#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ostream>

#include "platform/x11/x11_backend.h"
#include "x11/x_session.h"

namespace marrowick {

// Readable failures for the values these tests compare.
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}
inline void PrintTo(const Window& w, std::ostream* os) { *os << "window 0x" << std::hex << w.id << std::dec; }
inline void PrintTo(const InputEvent& e, std::ostream* os) {
    static constexpr const char* kinds[] = {"press", "release", "drag", "key", "modifiers"};
    *os << "{" << kinds[static_cast<int>(e.kind)] << ",";
    static constexpr std::pair<Key, const char*> keys[] = {
        {Key::shift, " shift"}, {Key::control, " control"}, {Key::alt, " alt"}, {Key::super, " super"}};
    for (auto [key, label] : keys)
        if (e.modifiers.has(key)) *os << label;
    if (e.cancelsWindowMove) *os << " cancels the move";
    *os << "}";
}

}  // namespace marrowick

namespace marrowick::test {

// A desktop of its own and the X11 services on it.
class X11Test : public ::testing::Test {
protected:
    virtual XSession::Options options() const { return {}; }
    void SetUp() override {
        std::string failure;
        session = XSession::start(options(), &failure);
        ASSERT_TRUE(session || failure.empty()) << failure;
        if (!session) GTEST_SKIP() << "Xvfb cannot start on this machine: the X11 tests need a virtual X server";
        // Start at login is not tried here: an entry nobody writes.
        backend = x11::X11Backend::open(session->display(),
                                        XdgLoginItems(std::filesystem::temp_directory_path() / "marrowick-x11-tests",
                                                      "app.marrowick.Tests", "/bin/true"));
        ASSERT_TRUE(backend) << "the X11 services did not open on " << session->display();
    }
    void TearDown() override {
        backend.reset();
        session.reset();
    }

    x11::X11WindowControl& windows() { return backend->windows(); }
    // The window's frame as the service reports it; none on any error.
    std::optional<Rect> frameOf(xcb_window_t w) { return windows().frame(Window{w}).optional(); }

    // One step of a drag with the left button down: the pointer to root point (x, y), then a wait
    // until the window manager has moved window w's frame to origin (keep clear of monitor edges,
    // where it resists). openbox begins a move at the first motion and moves the window at the
    // motions after its grab; one that comes before is lost, so the pointer is nudged by a pixel
    // and back until the frame follows. Counts the motions sent.
    bool dragStep(xcb_window_t w, int x, int y, Point origin, int& motions) {
        auto followed = [&] {
            auto f = frameOf(w);
            return f && std::abs(f->x - origin.x) < 1 && std::abs(f->y - origin.y) < 1;
        };
        session->motion(x, y);
        ++motions;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!pumpUntil(followed, 0.3)) {
            if (std::chrono::steady_clock::now() >= end) return false;
            session->motion(x + 1, y);
            session->motion(x, y);
            motions += 2;
        }
        return true;
    }

    std::unique_ptr<XSession> session;
    std::unique_ptr<x11::X11Backend> backend;
};

}  // namespace marrowick::test
