#include <chrono>
#include <iostream>

#include "windows/window_access.h"
#include "x11/x11_fixture.h"

namespace marrowick::test {
namespace {

class X11Windows : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        auto w = session->xterm("80x24+100+100", &xtermPid);
        ASSERT_TRUE(w) << "xterm did not come up";
        xterm = *w;
    }
    // The middle of a window of the test's own with that EWMH type, once the manager has taken
    // it on and placed it where it likes.
    Point typed(xcb_atom_t type, int w, int h) {
        xcb_connection_t* c = session->c();
        xcb_window_t win = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, win, session->root(), 0, 0, static_cast<std::uint16_t>(w),
                          static_cast<std::uint16_t>(h), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0,
                          nullptr);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, session->connection().atoms().netWmWindowType, XCB_ATOM_ATOM,
                            32, 1, &type);
        xcb_map_window(c, win);
        session->sync();
        std::optional<Rect> f;
        EXPECT_TRUE(pumpUntil([&] {
            f = frameOf(win);
            return session->connection().property32(win, session->connection().atoms().wmState, x11::deadlineIn(1)) &&
                   f && f->width == w && f->height == h;
        })) << "the manager did not take on the window of type "
            << type;
        if (!f) return {};
        const Point middle{f->x + f->width / 2, f->y + f->height / 2};
        // Nothing else covers it there.
        x11::WindowQueries q(session->connection(), x11::deadlineIn(1));
        auto top = q.topLevelAt(static_cast<int>(middle.x), static_cast<int>(middle.y));
        EXPECT_TRUE(top && q.clientOf(*top) == win) << "the window of type " << type << " is covered";
        return middle;
    }
    pid_t xtermPid = 0;
    xcb_window_t xterm = 0;
};

TEST_F(X11Windows, XtermFrameKindAndApplication) {
    // openbox puts the frame of an xterm asked for at +100+100 there; title bar 20, border 1.
    EXPECT_EQ(frameOf(xterm), (Rect{100, 100, 486, 341}));
    const Window w{xterm};
    EXPECT_EQ(windows().kind(w).optional(), WindowKind::normal);
    EXPECT_EQ(windows().minimized(w).optional(), false);
    EXPECT_EQ(windows().application(w).optional(), xtermPid);
    auto all = windows().windows();
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(*all, std::vector<Window>{w});
    EXPECT_TRUE(windows().granted(true));
    // Among the root's children, where stacking happens, it is the frame openbox put around it.
    const auto top = windows().topLevel(w);
    ASSERT_TRUE(top.ok());
    EXPECT_NE(*top, xterm);
    x11::WindowQueries q(session->connection(), x11::deadlineIn(1));
    EXPECT_EQ(q.topLevelAt(150, 110), *top);
}

TEST_F(X11Windows, WindowUnderThePointWhereverItIs) {
    const auto& a = session->connection().atoms();
    const Point desktopWindow = typed(a.typeDesktop, 300, 200);
    const Point panel = typed(a.typeDock, 300, 40);
    struct Case {
        const char* what;
        Point p;  // root coordinates
        bool window;
    };
    const Case cases[] = {
        {"title bar", {300, 110}, true},
        {"content", {300, 300}, true},
        {"bottom border of the frame", {300, 440}, true},
        {"its last pixel", {585.9, 440.9}, true},
        {"just past its right edge", {586, 300}, false},
        {"desktop beside it", {1000, 800}, false},
        {"a desktop window", desktopWindow, false},
        {"a panel", panel, false},
        {"desktop of the right monitor", {4000, 500}, false},
        {"below the right monitor, outside every monitor", {4000, 1300}, false},
        {"far outside the root", {-50000, 100}, false},
    };
    for (const auto& c : cases) {
        auto hit = windows().windowAt(c.p);
        if (c.window) {
            EXPECT_EQ(hit, Window{xterm}) << c.what;
        } else {
            EXPECT_EQ(hit, std::nullopt) << c.what;
        }
    }
    // The same through the core's lookup, with the pointer really there.
    WindowAccess access(windows(), backend->pointer());
    session->motion(300, 110);
    EXPECT_EQ(access.windowUnderPointer(), Window{xterm});
    session->motion(2000, 1000);
    EXPECT_EQ(access.windowUnderPointer(), std::nullopt);
    // The pointer in root coordinates on either monitor, and its buttons.
    EXPECT_EQ(backend->pointer().location(), (Point{2000, 1000}));
    session->motion(4000, 100);
    EXPECT_EQ(backend->pointer().location(), (Point{4000, 100}));
    EXPECT_EQ(backend->pointer().pressedButtons(), 0u);
    session->button(true);
    EXPECT_EQ(backend->pointer().pressedButtons(), Button::left);
    session->button(false);
    session->button(true, 3);
    EXPECT_EQ(backend->pointer().pressedButtons(), Button::right);
    session->button(false, 3);
    session->button(true, 2);
    EXPECT_EQ(backend->pointer().pressedButtons(), Button::middle);
    session->button(false, 2);
}

TEST_F(X11Windows, MovesLandTheFrameExactlyInTheTile) {
    // xterm sizes go in steps of 6 x 13 from a base of 4 x 4, plus openbox's 2 x 25 of frame.
    struct Case {
        const char* what;
        Rect tile;
        bool maximiseFirst;
        Rect frame;  // where it ends
        bool exact;
    };
    const Case cases[] = {
        {"left third of the left monitor", {0, 0, 1146, 1433}, false, {0, 0, 1146, 1433}, true},
        {"on the right monitor", {3440 + 960, 0, 960, 1030}, false, {4400, 0, 960, 1030}, true},
        {"after un-maximising", {1146, 0, 1146, 1433}, true, {1146, 0, 1146, 1433}, true},
        {"a size the hints refuse: the closest smaller one", {0, 0, 1140, 1415}, false, {0, 0, 1140, 1407}, false},
        {"fractions round to the nearest pixel", {2291.6, 0.4, 1146.4, 1432.6}, false, {2292, 0, 1146, 1433}, true},
    };
    const Window window{xterm};
    for (const auto& c : cases) {
        if (c.maximiseFirst) {
            const auto& a = session->connection().atoms();
            xcb_client_message_event_t ev{};
            ev.response_type = XCB_CLIENT_MESSAGE;
            ev.format = 32;
            ev.window = xterm;
            ev.type = a.netWmState;
            ev.data.data32[0] = 1;  // add
            ev.data.data32[1] = a.netWmStateMaxVert;
            ev.data.data32[2] = a.netWmStateMaxHorz;
            xcb_send_event(session->c(), 0, session->root(),
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&ev));
            ASSERT_TRUE(pumpUntil([&] {
                return x11::WindowQueries(session->connection(), x11::deadlineIn(1)).states(xterm).size() >= 2;
            })) << c.what;
        }
        // One write: it answers whether the window took the size asked for.
        const Result<void> written = windows().setFrame(window, c.tile);
        EXPECT_EQ(written.ok(), c.exact) << c.what;
        if (!c.exact && !written.ok()) {
            EXPECT_EQ(written.error(), WindowError::refused) << c.what;
        }
        EXPECT_TRUE(pumpUntil([&] { return frameOf(xterm) == c.frame; }, 5))
            << c.what << ": ended at " << ::testing::PrintToString(frameOf(xterm));
    }
}

TEST_F(X11Windows, CostOfOneCall) {
    const Window window{xterm};
    constexpr int n = 500;
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) ASSERT_TRUE(windows().frame(window).ok());
    auto t1 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) ASSERT_TRUE(windows().kind(window).ok());
    auto t2 = std::chrono::steady_clock::now();
    auto us = [](auto d) { return std::chrono::duration<double, std::micro>(d).count() / n; };
    // A figure to read, not to assert.
    std::cout << "frame read: " << us(t1 - t0) << " us, kind read: " << us(t2 - t1) << " us\n";
    RecordProperty("frame_read_us", std::to_string(us(t1 - t0)));
}

}  // namespace
}  // namespace marrowick::test
