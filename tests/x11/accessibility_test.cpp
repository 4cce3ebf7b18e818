#include <chrono>
#include <iostream>

#include "windows/window_access.h"
#include "x11/x11_fixture.h"

namespace marrowick::test {
namespace {

using x11::X11Accessibility;

class X11Windows : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        auto w = session->xterm("80x24+100+100", &xtermPid);
        ASSERT_TRUE(w) << "xterm did not come up";
        xterm = *w;
    }
    pid_t xtermPid = 0;
    xcb_window_t xterm = 0;
};

TEST_F(X11Windows, XtermFrameRoleAndApplication) {
    // openbox puts the frame of an xterm asked for at +100+100 there; title bar 20, border 1.
    auto frame = frameOf(xterm);
    ASSERT_TRUE(frame);
    EXPECT_EQ(*frame, (Rect{100, 100, 486, 341}));
    EXPECT_EQ(attribute(xterm, "AXRole").value, Value("AXWindow"));
    EXPECT_EQ(attribute(xterm, "AXWindow").value, Value(X11Accessibility::windowElement(xterm)));
    EXPECT_EQ(attribute(xterm, "AXSubrole").value, Value("AXStandardWindow"));
    EXPECT_EQ(attribute(xterm, "AXMinimized").value, Value(false));
    EXPECT_EQ(attribute(xterm, "AXParent").value, Value(ax().application(xtermPid)));
    EXPECT_EQ(attribute(xterm, "AXBogus").error, AXError::attributeUnsupported);
    auto windows = ax().copyAttribute(ax().application(xtermPid), "AXWindows");
    ASSERT_EQ(windows.error, AXError::success);
    EXPECT_EQ(windows.value, Value(Value::List{X11Accessibility::windowElement(xterm)}));
    EXPECT_TRUE(ax().isTrusted(true));
}

TEST_F(X11Windows, ElementUnderThePointWhereverItIs) {
    struct Case {
        const char* what;
        float x, y;  // Accessibility coordinates
        bool window;
    };
    const Case cases[] = {
        {"title bar", 300, 110, true},
        {"content", 300, 300, true},
        {"bottom border of the frame", 300, 440, true},
        {"desktop beside it", 1000, 800, false},
        {"desktop of the right monitor", 4000, 500, false},
        {"below the right monitor, outside every monitor", 4000, 1300, false},
        {"far outside the root", -50000, 100, false},
    };
    for (const auto& c : cases) {
        auto r = ax().elementAtPosition(ax().systemWide(), c.x, c.y);
        if (c.window) {
            EXPECT_EQ(r.error, AXError::success) << c.what;
            EXPECT_EQ(r.value, Value(X11Accessibility::windowElement(xterm))) << c.what;
        } else {
            EXPECT_NE(r.error, AXError::success) << c.what;
        }
    }
    // The same through the core's lookup, with the pointer really there.
    WindowAccess access(ax(), backend->screens(), backend->pointer());
    session->motion(300, 110);
    EXPECT_EQ(access.windowUnderPointer(), X11Accessibility::windowElement(xterm));
    session->motion(2000, 1000);
    EXPECT_EQ(access.windowUnderPointer(), std::nullopt);
    // The pointer in AppKit coordinates, on either monitor, and its buttons.
    EXPECT_EQ(backend->pointer().location(), (Point{2000, 440}));
    session->motion(4000, 100);
    EXPECT_EQ(backend->pointer().location(), (Point{4000, 1340}));
    EXPECT_EQ(backend->pointer().pressedButtons(), 0u);
    session->button(true);
    EXPECT_EQ(backend->pointer().pressedButtons(), 1u);
    session->button(false);
    session->button(true, 3);
    EXPECT_EQ(backend->pointer().pressedButtons(), 2u);
    session->button(false, 3);
}

TEST_F(X11Windows, MovesLandTheFrameExactlyInTheTile) {
    // xterm sizes go in steps of 6 x 13 from a base of 4 x 4, plus openbox's 2 x 25 of frame.
    struct Case {
        const char* what;
        Rect tile;  // AppKit
        bool maximiseFirst;
        Rect frame;  // Accessibility, where it ends
        bool exact;
    };
    const Case cases[] = {
        {"left third of the left monitor", {0, 7, 1146, 1433}, false, {0, 0, 1146, 1433}, true},
        {"on the right monitor", {3440 + 960, 410, 960, 1030}, false, {4400, 0, 960, 1030}, true},
        {"after un-maximising", {1146, 7, 1146, 1433}, true, {1146, 0, 1146, 1433}, true},
        {"a size the hints refuse: the closest smaller one", {0, 25, 1140, 1415}, false, {0, 0, 1140, 1407}, false},
    };
    WindowAccess access(ax(), backend->screens(), backend->pointer());
    auto window = X11Accessibility::windowElement(xterm);
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
        // What the core does: position, size, position; the size write tells whether it fitted.
        int size = ax().setAttribute(window, "AXSize", Size{c.tile.width, c.tile.height});
        access.move(window, c.tile);
        EXPECT_EQ(size == AXError::success, c.exact) << c.what;
        EXPECT_TRUE(pumpUntil([&] { return frameOf(xterm) == c.frame; }, 5))
            << c.what << ": ended at " << frameOf(xterm).value_or(Rect{}).x << "," << frameOf(xterm).value_or(Rect{}).y
            << " " << frameOf(xterm).value_or(Rect{}).width << "x" << frameOf(xterm).value_or(Rect{}).height;
    }
}

TEST_F(X11Windows, CostOfOneCall) {
    auto window = X11Accessibility::windowElement(xterm);
    constexpr int n = 500;
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) ASSERT_EQ(ax().copyAttribute(window, "AXPosition").error, AXError::success);
    auto t1 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) ASSERT_EQ(ax().copyAttribute(window, "AXRole").error, AXError::success);
    auto t2 = std::chrono::steady_clock::now();
    auto us = [](auto d) { return std::chrono::duration<double, std::micro>(d).count() / n; };
    // A figure to read, not to assert.
    std::cout << "AXPosition read: " << us(t1 - t0) << " us, AXRole read: " << us(t2 - t1) << " us\n";
    RecordProperty("ax_position_us", std::to_string(us(t1 - t0)));
}

}  // namespace
}  // namespace marrowick::test
