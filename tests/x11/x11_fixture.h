#pragma once

#include <gtest/gtest.h>

#include "platform/x11/x11_backend.h"
#include "x11/x_session.h"

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

    x11::X11Accessibility& ax() { return backend->accessibility(); }
    AXReply attribute(xcb_window_t w, std::string_view name) {
        return ax().copyAttribute(x11::X11Accessibility::windowElement(w), name);
    }
    // The window's frame (Accessibility position and size) as the service reports it.
    std::optional<Rect> frameOf(xcb_window_t w) {
        auto p = attribute(w, "AXPosition"), s = attribute(w, "AXSize");
        if (p.error || s.error || !p.value.as<Point>() || !s.value.as<Size>()) return std::nullopt;
        return Rect{p.value.as<Point>()->x, p.value.as<Point>()->y, s.value.as<Size>()->width,
                    s.value.as<Size>()->height};
    }

    std::unique_ptr<XSession> session;
    std::unique_ptr<x11::X11Backend> backend;
};

}  // namespace marrowick::test
