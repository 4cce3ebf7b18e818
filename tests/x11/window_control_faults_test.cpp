#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <limits>

#include "x11/x11_fixture.h"

namespace marrowick::test {
namespace {

class X11WindowFaults : public X11Test {};

TEST_F(X11WindowFaults, WindowsInTheManagersOrderWithTheirApplicationsWithOrWithoutPid) {
    pid_t xtermPid = 0;
    auto xterm = session->xterm("80x24+100+100", &xtermPid);
    ASSERT_TRUE(xterm);
    pid_t xclock = session->spawn({"xclock", "-geometry", "200x200+800+100"});
    auto clock = session->waitForClient(xclock);
    ASSERT_TRUE(clock);
    pid_t xlogo = session->spawn({"xlogo", "-geometry", "200x200+1200+100"});  // sets no _NET_WM_PID
    auto logo = session->waitForClient(xlogo);
    ASSERT_TRUE(logo);
    ASSERT_FALSE(session->connection().property32(*logo, session->connection().atoms().netWmPid, x11::deadlineIn(1)));

    auto all = windows().windows();
    ASSERT_TRUE(all.ok());
    const std::vector<Window> expected{{*xterm}, {*clock}, {*logo}};
    EXPECT_EQ(*all, expected);
    // The X-Resource extension knows whose window xlogo's is.
    const pid_t pids[] = {xtermPid, xclock, xlogo};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(windows().application(expected[i]).optional(), pids[i]) << i;
        EXPECT_EQ(windows().kind(expected[i]).optional(), WindowKind::normal) << i;
    }
}

// A window of the test's own, whose properties the test then sets or spoils.
xcb_window_t ownWindow(XSession& s, const std::function<void(xcb_window_t)>& beforeMapping = {}) {
    xcb_connection_t* c = s.c();
    xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, s.root(), 0, 0, 300, 200, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    if (beforeMapping) beforeMapping(w);
    xcb_map_window(c, w);
    s.sync();
    return w;
}

TEST_F(X11WindowFaults, KindsByTypeTransienceAndModalityAndMinimised) {
    const auto& a = session->connection().atoms();
    xcb_window_t parent = ownWindow(*session);
    struct Case {
        const char* what;
        std::optional<xcb_atom_t> type;
        bool transient;
        bool modal;
        WindowKind kind;
    };
    const Case cases[] = {
        {"no type", std::nullopt, false, false, WindowKind::normal},
        {"normal", a.typeNormal, false, false, WindowKind::normal},
        {"normal but transient", a.typeNormal, true, false, WindowKind::dialog},
        {"normal but modal", a.typeNormal, false, true, WindowKind::dialog},
        {"dialog", a.typeDialog, false, false, WindowKind::dialog},
        {"utility", a.typeUtility, false, false, WindowKind::other},
        {"splash screen", a.typeSplash, false, false, WindowKind::other},
    };
    for (const auto& c : cases) {
        xcb_window_t w = ownWindow(*session, [&](xcb_window_t made) {
            if (c.type)
                xcb_change_property(session->c(), XCB_PROP_MODE_REPLACE, made, a.netWmWindowType, XCB_ATOM_ATOM, 32, 1,
                                    &*c.type);
            if (c.transient)
                xcb_change_property(session->c(), XCB_PROP_MODE_REPLACE, made, a.wmTransientFor, XCB_ATOM_WINDOW, 32, 1,
                                    &parent);
            if (c.modal)
                xcb_change_property(session->c(), XCB_PROP_MODE_REPLACE, made, a.netWmState, XCB_ATOM_ATOM, 32, 1,
                                    &a.netWmStateModal);
        });
        EXPECT_EQ(windows().kind(Window{w}).optional(), c.kind) << c.what;
    }
    pid_t pid = 0;
    auto xterm = session->xterm("80x24+100+100", &pid);
    ASSERT_TRUE(xterm);
    EXPECT_EQ(windows().minimized(Window{*xterm}).optional(), false);
    ASSERT_EQ(session->run({"xdotool", "windowminimize", std::to_string(*xterm)}), 0);
    EXPECT_TRUE(pumpUntil([&] { return windows().minimized(Window{*xterm}).optional() == true; }));
}

TEST_F(X11WindowFaults, GarbagePropertiesAndVanishedWindows) {
    xcb_window_t w = ownWindow(*session);
    const Window window{w};
    ASSERT_TRUE(pumpUntil([&] { return frameOf(w).has_value() && windows().minimized(window).optional() == false; }));
    xcb_connection_t* c = session->c();
    const auto& a = session->connection().atoms();
    const char junk[] = "not a number";
    const std::uint32_t huge[] = {0xffffffffu, 0xfffffff0u, 7, 0xdeadbeefu};
    const std::uint32_t shortHints[] = {0xffffffffu, 1};
    // Wrong formats, wrong lengths, atoms that are no window types, absurd extents.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, a.netWmPid, XCB_ATOM_STRING, 8, sizeof junk, junk);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, a.netWmWindowType, XCB_ATOM_ATOM, 32, 4, huge);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, a.netWmState, XCB_ATOM_STRING, 8, sizeof junk, junk);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, a.wmNormalHints, a.wmNormalHints, 32, 2, shortHints);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, a.wmTransientFor, XCB_ATOM_WINDOW, 8, sizeof junk, junk);
    session->sync();

    EXPECT_EQ(windows().kind(window).optional(), WindowKind::other);  // no type we know
    EXPECT_EQ(windows().minimized(window).optional(), false);
    // The X-Resource extension still knows whose window it is.
    EXPECT_EQ(windows().application(window).optional(), getpid());
    auto frame = frameOf(w);
    ASSERT_TRUE(frame);
    const Rect moved{50, 60, frame->width, frame->height};
    EXPECT_TRUE(windows().setFrame(window, moved).ok());
    EXPECT_TRUE(pumpUntil([&] { return frameOf(w) == moved; })) << ::testing::PrintToString(frameOf(w));
    // Sizes no window can have are refused without asking anybody.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Rect& bad : {Rect{0, 0, -5, 10}, Rect{0, 0, 0, 10}, Rect{0, 0, 100, 40000}, Rect{nan, 0, 100, 100},
                            Rect{0, std::numeric_limits<double>::infinity(), 100, 100}}) {
        const Result<void> r = windows().setFrame(window, bad);
        ASSERT_FALSE(r.ok()) << ::testing::PrintToString(bad);
        EXPECT_EQ(r.error(), WindowError::refused) << ::testing::PrintToString(bad);
    }
    EXPECT_EQ(frameOf(w), moved);

    xcb_destroy_window(c, w);
    session->sync();
    auto gone = [](const auto& result) { return !result.ok() && result.error() == WindowError::gone; };
    EXPECT_TRUE(gone(windows().frame(window)));
    EXPECT_TRUE(gone(windows().kind(window)));
    EXPECT_TRUE(gone(windows().minimized(window)));
    EXPECT_TRUE(gone(windows().application(window)));
    EXPECT_TRUE(gone(windows().setFrame(window, Rect{0, 0, 100, 100})));
    EXPECT_EQ(windows().windowAt({150, 150}), std::nullopt);
    // Ids that never named a window here: 0, and one beyond what an X window id holds whose low
    // bits are the root's.
    for (Window bogus : {Window{0}, Window{(std::uint64_t{1} << 32) | session->root()}}) {
        EXPECT_TRUE(gone(windows().frame(bogus))) << ::testing::PrintToString(bogus);
        EXPECT_TRUE(gone(windows().kind(bogus))) << ::testing::PrintToString(bogus);
        EXPECT_TRUE(gone(windows().minimized(bogus))) << ::testing::PrintToString(bogus);
        EXPECT_TRUE(gone(windows().application(bogus))) << ::testing::PrintToString(bogus);
        EXPECT_TRUE(gone(windows().setFrame(bogus, Rect{0, 0, 100, 100}))) << ::testing::PrintToString(bogus);
    }
}

TEST_F(X11WindowFaults, AStoppedOrVanishedServerAnswersErrorsInTime) {
    auto xterm = session->xterm("80x24+100+100");
    ASSERT_TRUE(xterm);
    const Window window{*xterm};
    ASSERT_TRUE(windows().frame(window).ok());
    Point before = backend->pointer().location();
    auto busy = [](const auto& result) { return !result.ok() && result.error() == WindowError::busy; };

    // A server that does not answer: every request ends at its timeout as busy.
    ASSERT_EQ(::kill(session->serverPid(), SIGSTOP), 0);
    EXPECT_TRUE(busy(windows().frame(window)));
    EXPECT_TRUE(busy(windows().setFrame(window, Rect{0, 0, 400, 300})));
    EXPECT_TRUE(busy(windows().kind(window)));
    EXPECT_TRUE(busy(windows().minimized(window)));
    EXPECT_TRUE(busy(windows().application(window)));
    EXPECT_TRUE(busy(windows().windows()));
    EXPECT_EQ(windows().windowAt({300, 300}), std::nullopt);
    EXPECT_EQ(backend->pointer().location(), before);
    ::kill(session->serverPid(), SIGCONT);
    EXPECT_TRUE(pumpUntil([&] { return windows().kind(window).ok(); }));

    // A server that is gone: errors at once, the screens stay as they were, the loop runs on.
    auto screens = backend->screens().screens();
    session->stopServer();
    EXPECT_TRUE(pumpUntil([&] { return !windows().frame(window).ok(); }));
    EXPECT_TRUE(busy(windows().frame(window))) << "a window is not gone because the server is";
    EXPECT_TRUE(busy(windows().setFrame(window, Rect{0, 0, 400, 300})));
    EXPECT_EQ(windows().windowAt({300, 300}), std::nullopt);
    EXPECT_TRUE(busy(windows().windows()));
    EXPECT_EQ(backend->screens().screens().size(), screens.size());
    EXPECT_EQ(backend->pointer().pressedButtons(), 0u);
}

class X11WithoutManager : public X11Test {
protected:
    XSession::Options options() const override { return {.windowManager = false}; }
};

TEST_F(X11WithoutManager, WindowsAreFoundAndMovedDirectly) {
    pid_t pid = 0;
    auto xterm = session->xterm("80x24+100+100", &pid);
    ASSERT_TRUE(xterm);
    const Window window{*xterm};
    EXPECT_EQ(frameOf(*xterm), (Rect{100, 100, 486, 318}));  // no decorations, its own border of 1
    EXPECT_EQ(windows().windowAt({200, 200}), window);
    EXPECT_EQ(windows().kind(window).optional(), WindowKind::normal);
    auto all = windows().windows();
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(*all, std::vector<Window>{window});
    EXPECT_EQ(windows().application(window).optional(), pid);
    // 6 x 13 steps from a base of 4 inside the border: 1146 x 1436 is a size the xterm takes.
    EXPECT_TRUE(windows().setFrame(window, Rect{3440, 0, 1146, 1436}).ok());
    EXPECT_TRUE(pumpUntil([&] {
        return frameOf(*xterm) == Rect{3440, 0, 1146, 1436};
    })) << ::testing::PrintToString(frameOf(*xterm));
}

}  // namespace
}  // namespace marrowick::test
