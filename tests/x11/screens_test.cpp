#include <xcb/randr.h>

#include <regex>

#include "platform/x11/edid_uuid.h"
#include "x11/x11_fixture.h"

namespace marrowick::test {
namespace {

using x11::uuidFromEdid;

// A 128-byte EDID block with that manufacturer/product/serial and an optional serial descriptor.
std::string edid(std::uint16_t product, std::uint32_t serial, const std::string& serialText = {}) {
    std::string e(128, '\0');
    const unsigned char header[8] = {0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00};
    for (int i = 0; i < 8; ++i) e[i] = static_cast<char>(header[i]);
    e[8] = 0x10;  // "DEL"
    e[9] = static_cast<char>(0xac);
    e[10] = static_cast<char>(product & 0xff);
    e[11] = static_cast<char>(product >> 8);
    for (int i = 0; i < 4; ++i) e[12 + i] = static_cast<char>((serial >> (8 * i)) & 0xff);
    if (!serialText.empty()) {
        e[72 + 3] = static_cast<char>(0xff);
        for (std::size_t i = 0; i < serialText.size() && i < 13; ++i) e[72 + 5 + i] = serialText[i];
    }
    return e;
}

TEST(EdidUuid, KeyFollowsTheMonitorAndSeparatesTwinsWithoutSerial) {
    const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
    auto a = uuidFromEdid(edid(0x4321, 0x11223344), "DP-1");
    ASSERT_TRUE(a);
    EXPECT_TRUE(std::regex_match(*a, form)) << *a;
    struct Case {
        const char* what;
        std::string edidA, connectorA, edidB, connectorB;
        bool same;
    };
    const Case cases[] = {
        {"serial number: moved to another connector, same key", edid(1, 7), "DP-1", edid(1, 7), "HDMI-1", true},
        {"serial descriptor only: same key on another connector", edid(1, 0, "AB12"), "DP-1", edid(1, 0, "AB12"),
         "HDMI-1", true},
        {"twins without any serial: the connector tells them apart", edid(1, 0), "DP-1", edid(1, 0), "DP-2", false},
        {"other serial number", edid(1, 7), "DP-1", edid(1, 8), "DP-1", false},
        {"other product", edid(1, 7), "DP-1", edid(2, 7), "DP-1", false},
        {"other serial text", edid(1, 0, "AB12"), "DP-1", edid(1, 0, "AB13"), "DP-1", false},
    };
    for (const auto& c : cases) {
        auto ua = uuidFromEdid(c.edidA, c.connectorA), ub = uuidFromEdid(c.edidB, c.connectorB);
        ASSERT_TRUE(ua && ub) << c.what;
        EXPECT_EQ(*ua == *ub, c.same) << c.what << ": " << *ua << " / " << *ub;
    }
    EXPECT_FALSE(uuidFromEdid("", "DP-1"));
    EXPECT_FALSE(uuidFromEdid(std::string(128, 'x'), "DP-1"));      // no EDID header
    EXPECT_FALSE(uuidFromEdid(edid(1, 7).substr(0, 127), "DP-1"));  // cut short
}

class X11Screens : public X11Test {};

TEST_F(X11Screens, TwoMonitorsPrimaryFirstInRootCoordinates) {
    const auto& list = backend->screens().screens();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "LEFT");
    EXPECT_EQ(list[0].frame, (Rect{0, 0, 3440, 1440}));
    EXPECT_EQ(list[0].workArea, list[0].frame);  // openbox reserves nothing
    ASSERT_TRUE(list[0].displayId);              // the output "screen"
    EXPECT_FALSE(backend->screens().uuidText(static_cast<std::uint32_t>(*list[0].displayId)))
        << "Xvfb's output has no EDID, so the key falls back to the name";
    EXPECT_EQ(list[1].name, "RIGHT");
    // Its top is level with the primary's.
    EXPECT_EQ(list[1].frame, (Rect{3440, 0, 1920, 1080}));
    EXPECT_EQ(list[1].workArea, list[1].frame);
    EXPECT_FALSE(list[1].displayId);  // a monitor without an output
    // The desktop of the e2e tests and the demo: a compositing manager runs.
    EXPECT_TRUE(pumpUntil([&] { return backend->screens().compositing(); }, 5.0));
}

// A dock of the test's own, reserving space through _NET_WM_STRUT_PARTIAL.
xcb_window_t dock(XSession& s, const std::vector<std::uint32_t>& strut, int x, int y, int w, int h) {
    xcb_connection_t* c = s.c();
    xcb_window_t win = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, win, s.root(), static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const auto& a = s.connection().atoms();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, a.netWmWindowType, XCB_ATOM_ATOM, 32, 1, &a.typeDock);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, a.netWmStrutPartial, XCB_ATOM_CARDINAL, 32,
                        static_cast<std::uint32_t>(strut.size()), strut.data());
    xcb_map_window(c, win);
    s.sync();
    return win;
}

TEST_F(X11Screens, DocksTrimTheWorkAreaOfTheirMonitorOnly) {
    int changes = 0;
    auto watching = backend->screens().addChangedHandler([&] { ++changes; });
    // A top panel of 25 over the left monitor, and a bottom one of 30 over the right monitor
    // (struts count from the root's edges: the root is 360 taller than the right monitor, so its
    // bottom panel reserves 390 of the root).
    dock(*session, {0, 0, 25, 0, 0, 0, 0, 0, 0, 3439, 0, 0}, 0, 0, 3440, 25);
    dock(*session, {0, 0, 0, 390, 0, 0, 0, 0, 0, 0, 3440, 5359}, 3440, 1050, 1920, 30);
    const auto& list = backend->screens().screens();
    ASSERT_TRUE(pumpUntil([&] {
        return list.size() == 2 && list[0].workArea == Rect{0, 25, 3440, 1415} &&
               list[1].workArea == Rect{3440, 0, 1920, 1050};
    })) << "left work area "
        << ::testing::PrintToString(list[0].workArea) << ", right work area "
        << ::testing::PrintToString(list[1].workArea);
    EXPECT_EQ(list[0].frame, (Rect{0, 0, 3440, 1440}));
    EXPECT_EQ(list[1].frame, (Rect{3440, 0, 1920, 1080}));
    EXPECT_GE(changes, 1);
}

// Thousands of work-area changes while the event loop runs are read at most once per interval,
// and the last one is what the screens end with.
TEST_F(X11Screens, AFloodOfWorkAreaChangesIsReadAtMostOncePerInterval) {
    int changes = 0;
    auto watching = backend->screens().addChangedHandler([&] { ++changes; });
    xcb_connection_t* c = session->c();
    const xcb_window_t root = session->connection().root();
    const xcb_atom_t workArea = session->connection().atoms().netWorkarea;
    const auto setWidth = [&](std::uint32_t width) {
        const std::uint32_t area[4] = {0, 0, width, 1440};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, workArea, XCB_ATOM_CARDINAL, 32, 4, area);
    };
    const auto start = std::chrono::steady_clock::now();
    for (std::uint32_t i = 0; i < 3000; ++i) {
        setWidth(2500 + i % 900);  // every batch ends with a width of its own
        if (i % 50 == 0) {
            xcb_flush(c);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
    }
    setWidth(2000);
    session->sync();
    const auto& list = backend->screens().screens();
    ASSERT_TRUE(pumpUntil([&] { return !list.empty() && list[0].workArea.width == 2000; }));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LE(changes, 2 + static_cast<int>(seconds * 1000 / (x11::X11Screens::refreshIntervalMs * 0.95)))
        << "in " << seconds << " s";
}

TEST_F(X11Screens, MonitorChangesAndEdidAreReported) {
    int changes = 0;
    auto watching = backend->screens().addChangedHandler([&] { ++changes; });
    const auto& list = backend->screens().screens();
    ASSERT_EQ(session->run({"xrandr", "--delmonitor", "RIGHT"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return list.size() == 1; })) << "the removal was not seen";
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(session->run({"xrandr", "--setmonitor", "RIGHT", "1920/508x1080/286+3440+0", "none"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return list.size() == 2; })) << "the new monitor was not seen";
    EXPECT_EQ(list[1].frame, (Rect{3440, 0, 1920, 1080}));

    // An EDID on the output gives the monitor its key.
    ASSERT_TRUE(list[0].displayId);
    auto output = static_cast<std::uint32_t>(*list[0].displayId);
    std::string bytes = edid(0x4321, 0x11223344);
    xcb_randr_change_output_property(session->c(), output, session->connection().atoms().edid, XCB_ATOM_INTEGER, 8,
                                     XCB_PROP_MODE_REPLACE, static_cast<std::uint32_t>(bytes.size()), bytes.data());
    session->sync();
    ASSERT_TRUE(pumpUntil([&] { return backend->screens().uuidText(output).has_value(); }));
    EXPECT_EQ(backend->screens().uuidText(output), uuidFromEdid(bytes, "screen"));
}

TEST_F(X11Screens, RootCoordinatesWhateverMonitorIsPrimary) {
    auto xterm = session->xterm("80x24+100+100");
    ASSERT_TRUE(xterm);
    const auto& list = backend->screens().screens();
    ASSERT_EQ(session->run({"xrandr", "--delmonitor", "RIGHT"}), 0);
    ASSERT_EQ(session->run({"xrandr", "--setmonitor", "*RIGHT", "1920/508x1080/286+3440+0", "none"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return list.size() == 2 && list[0].name == "RIGHT"; }))
        << "RIGHT did not become primary";
    // A primary away from the root's origin moves no coordinate: screens, the pointer and
    // windows all stay in the root's.
    EXPECT_EQ(list[0].frame, (Rect{3440, 0, 1920, 1080}));
    EXPECT_EQ(list[1].frame, (Rect{0, 0, 3440, 1440}));
    ASSERT_EQ(session->run({"xdotool", "mousemove", "3450", "20"}), 0);
    EXPECT_EQ(backend->pointer().location(), (Point{3450, 20}));
    EXPECT_EQ(frameOf(*xterm), (Rect{100, 100, 486, 341}));
    EXPECT_EQ(backend->windows().windowAt({300, 300}), Window{*xterm});
    EXPECT_TRUE(backend->windows().setFrame(Window{*xterm}, Rect{0, 0, 1146, 1433}).ok());
    EXPECT_TRUE(pumpUntil([&] { return frameOf(*xterm) == Rect{0, 0, 1146, 1433}; }));
}

class X11ScreensWithoutCompositor : public X11Test {
protected:
    XSession::Options options() const override { return {.compositor = false}; }
};

TEST_F(X11ScreensWithoutCompositor, CompositingFollowsTheCompositingManager) {
    EXPECT_FALSE(backend->screens().compositing()) << "no compositing manager yet";
    const pid_t cm = session->spawn({"xcompmgr"}, {});
    EXPECT_TRUE(pumpUntil([&] { return backend->screens().compositing(); }, 5.0));
    session->stop(cm);
    EXPECT_TRUE(pumpUntil([&] { return !backend->screens().compositing(); }, 5.0)) << "the answer outlived the manager";
}

}  // namespace
}  // namespace marrowick::test
