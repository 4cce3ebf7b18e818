#include <signal.h>
#include <unistd.h>

#include "windows/window_access.h"
#include "x11/x11_fixture.h"

namespace marrowick::test {
namespace {

using x11::X11Accessibility;

class X11Workspace : public X11Test {};

TEST_F(X11Workspace, ApplicationsOfTheClientListInOrderWithOrWithoutPid) {
    pid_t xtermPid = 0;
    ASSERT_TRUE(session->xterm("80x24+100+100", &xtermPid));
    pid_t xclock = session->spawn({"xclock", "-geometry", "200x200+800+100"});
    ASSERT_TRUE(session->waitForClient(xclock));
    pid_t xlogo = session->spawn({"xlogo", "-geometry", "200x200+1200+100"});  // sets no _NET_WM_PID
    auto logo = session->waitForClient(xlogo);
    ASSERT_TRUE(logo);
    ASSERT_FALSE(session->connection().property32(*logo, session->connection().atoms().netWmPid, x11::deadlineIn(1)));

    auto apps = backend->workspace().runningApplications();
    const std::vector<RunningApplication> expected = {
        {xtermPid, ActivationPolicy::regular}, {xclock, ActivationPolicy::regular}, {xlogo, ActivationPolicy::regular}};
    ASSERT_EQ(apps.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(apps[i].pid, expected[i].pid) << i;
        EXPECT_EQ(apps[i].activationPolicy, expected[i].activationPolicy) << i;
    }
    EXPECT_EQ(backend->workspace().ownPid(), getpid());
    auto windows = ax().copyAttribute(ax().application(xlogo), "AXWindows");
    EXPECT_EQ(windows.value, Value(Value::List{X11Accessibility::windowElement(*logo)}));
}

// A managed window of the test's own, whose properties the test then spoils.
xcb_window_t ownWindow(XSession& s) {
    xcb_connection_t* c = s.c();
    xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, s.root(), 0, 0, 300, 200, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(c, w);
    s.sync();
    return w;
}

TEST_F(X11Workspace, SubrolesByTypeAndTransienceAndMinimised) {
    const auto& a = session->connection().atoms();
    xcb_window_t parent = ownWindow(*session);
    struct Case {
        const char* what;
        std::optional<xcb_atom_t> type;
        bool transient;
        const char* subrole;
    };
    const Case cases[] = {
        {"no type", std::nullopt, false, "AXStandardWindow"},     {"normal", a.typeNormal, false, "AXStandardWindow"},
        {"normal but transient", a.typeNormal, true, "AXDialog"}, {"dialog", a.typeDialog, false, "AXDialog"},
        {"utility", a.typeUtility, false, "AXFloatingWindow"},
    };
    for (const auto& c : cases) {
        xcb_window_t w = xcb_generate_id(session->c());
        xcb_create_window(session->c(), XCB_COPY_FROM_PARENT, w, session->root(), 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (c.type)
            xcb_change_property(session->c(), XCB_PROP_MODE_REPLACE, w, a.netWmWindowType, XCB_ATOM_ATOM, 32, 1,
                                &*c.type);
        if (c.transient)
            xcb_change_property(session->c(), XCB_PROP_MODE_REPLACE, w, a.wmTransientFor, XCB_ATOM_WINDOW, 32, 1,
                                &parent);
        xcb_map_window(session->c(), w);
        session->sync();
        EXPECT_EQ(attribute(w, "AXSubrole").value, Value(c.subrole)) << c.what;
    }
    pid_t pid = 0;
    auto xterm = session->xterm("80x24+100+100", &pid);
    ASSERT_TRUE(xterm);
    EXPECT_EQ(attribute(*xterm, "AXMinimized").value, Value(false));
    ASSERT_EQ(session->run({"xdotool", "windowminimize", std::to_string(*xterm)}), 0);
    EXPECT_TRUE(pumpUntil([&] { return attribute(*xterm, "AXMinimized").value == Value(true); }));
}

TEST_F(X11Workspace, GarbagePropertiesAndVanishedWindows) {
    xcb_window_t w = ownWindow(*session);
    ASSERT_TRUE(pumpUntil([&] { return frameOf(w).has_value() && attribute(w, "AXMinimized").value == Value(false); }));
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

    EXPECT_EQ(attribute(w, "AXRole").value, Value("AXWindow"));
    EXPECT_EQ(attribute(w, "AXSubrole").value, Value("AXUnknown"));  // no type we know
    EXPECT_EQ(attribute(w, "AXMinimized").value, Value(false));
    // The X-Resource extension still knows whose window it is.
    EXPECT_EQ(attribute(w, "AXParent").value, Value(ax().application(getpid())));
    EXPECT_TRUE(frameOf(w));
    auto element = X11Accessibility::windowElement(w);
    EXPECT_EQ(ax().setAttribute(element, "AXPosition", Point{50, 60}), AXError::success);
    EXPECT_EQ(ax().setAttribute(element, "AXPosition", Value("left")), AXError::illegalArgument);
    EXPECT_EQ(ax().setAttribute(element, "AXSize", Size{-5, 10}), AXError::illegalArgument);
    EXPECT_EQ(ax().setAttribute(element, "AXTitle", Value("x")), AXError::attributeUnsupported);
    EXPECT_TRUE(pumpUntil([&] { return frameOf(w).value_or(Rect{}).origin() == Point{50, 60}; }));

    xcb_destroy_window(c, w);
    session->sync();
    for (const char* name : {"AXRole", "AXPosition", "AXSize", "AXSubrole", "AXMinimized", "AXParent", "AXWindow"})
        EXPECT_EQ(attribute(w, name).error, AXError::invalidUIElement) << name;
    EXPECT_EQ(ax().setAttribute(element, "AXPosition", Point{0, 0}), AXError::invalidUIElement);
    EXPECT_EQ(ax().setAttribute(element, "AXSize", Size{100, 100}), AXError::invalidUIElement);
    for (Element bogus : {Element{0}, Element{0xff00000000000001ULL}})
        EXPECT_NE(ax().copyAttribute(bogus, "AXRole").error, AXError::success);
}

TEST_F(X11Workspace, AStoppedOrVanishedServerAnswersErrorsInTime) {
    auto xterm = session->xterm("80x24+100+100");
    ASSERT_TRUE(xterm);
    auto element = X11Accessibility::windowElement(*xterm);
    ASSERT_EQ(ax().setMessagingTimeout(ax().systemWide(), 0.2F), AXError::success);
    ASSERT_EQ(ax().copyAttribute(element, "AXPosition").error, AXError::success);
    Point before = backend->pointer().location();

    // A server that does not answer: every request ends at its timeout.
    ASSERT_EQ(::kill(session->serverPid(), SIGSTOP), 0);
    EXPECT_EQ(ax().copyAttribute(element, "AXPosition").error, AXError::cannotComplete);
    EXPECT_EQ(ax().setAttribute(element, "AXSize", Size{400, 300}), AXError::cannotComplete);
    EXPECT_EQ(ax().elementAtPosition(ax().systemWide(), 300, 300).error, AXError::cannotComplete);
    EXPECT_EQ(backend->pointer().location(), before);
    EXPECT_TRUE(backend->workspace().runningApplications().empty());
    ::kill(session->serverPid(), SIGCONT);
    EXPECT_TRUE(pumpUntil([&] { return ax().copyAttribute(element, "AXRole").error == AXError::success; }));

    // A server that is gone: errors at once, the screens stay as they were, the loop runs on.
    auto screens = backend->screens().screens();
    session->stopServer();
    EXPECT_TRUE(pumpUntil([&] { return ax().copyAttribute(element, "AXPosition").error != AXError::success; }));
    EXPECT_NE(ax().elementAtPosition(ax().systemWide(), 300, 300).error, AXError::success);
    EXPECT_TRUE(backend->workspace().runningApplications().empty());
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
    EXPECT_EQ(frameOf(*xterm), (Rect{100, 100, 486, 318}));  // no decorations, its own border of 1
    auto hit = ax().elementAtPosition(ax().systemWide(), 200, 200);
    EXPECT_EQ(hit.value, Value(X11Accessibility::windowElement(*xterm)));
    EXPECT_EQ(attribute(*xterm, "AXSubrole").value, Value("AXStandardWindow"));
    auto apps = backend->workspace().runningApplications();
    ASSERT_EQ(apps.size(), 1u);
    EXPECT_EQ(apps[0].pid, pid);
    // 6 x 13 steps from a base of 4 inside the border: 1146 x 1436 is a size the xterm takes.
    WindowAccess(ax(), backend->screens(), backend->pointer())
        .move(X11Accessibility::windowElement(*xterm), Rect{3440, 4, 1146, 1436});
    EXPECT_TRUE(pumpUntil([&] { return frameOf(*xterm) == Rect{3440, 0, 1146, 1436}; }));
}

}  // namespace
}  // namespace marrowick::test
