#include <unistd.h>

#include <algorithm>

#include "platform/modifiers.h"
#include "x11/x11_fixture.h"

namespace marrowick::test {
namespace {

constexpr xcb_keysym_t altL = 0xffe9;
constexpr xcb_keysym_t controlL = 0xffe3;
constexpr std::uint64_t everything = ~std::uint64_t{0};
const std::vector<Event> marker = {{EventType::flagsChanged, Modifier::control},
                                   {EventType::flagsChanged, Modifier::control | Modifier::option},
                                   {EventType::flagsChanged, Modifier::control},
                                   {EventType::flagsChanged, 0}};

// Runs of drags shortened to one, so sequences compare without counting motions.
std::vector<Event> squeezed(const std::vector<Event>& events) {
    std::vector<Event> out;
    for (const Event& e : events)
        if (out.empty() || !(e.type == EventType::leftMouseDragged && out.back() == e)) out.push_back(e);
    return out;
}

class X11Input : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        auto w = session->xterm("80x24+100+100");
        ASSERT_TRUE(w);
        xterm = *w;
        globalMonitor = backend->input().addGlobal(everything, [this](const Event& e) { global.push_back(e); });
        localMonitor = backend->input().addLocal(everything, [this](const Event& e) {
            local.push_back(e);
            return std::optional<Event>(e);
        });
    }
    std::optional<Subscription> globalMonitor;
    std::optional<Subscription> localMonitor;
    // Clicks into the xterm so that openbox gives it the focus.
    void focusXterm() {
        session->motion(300, 300);
        session->button(true);
        session->button(false);
        ASSERT_TRUE(pumpUntil([&] {
            return focused() == xterm &&
                   std::count(global.begin(), global.end(), Event{EventType::leftMouseUp, 0}) == 1;
        })) << "the xterm did not get the focus";
        settle();
    }
    xcb_window_t focused() {
        auto r = session->connection().await<xcb_get_input_focus_reply_t>(xcb_get_input_focus(session->c()),
                                                                          x11::deadlineIn(1));
        return r ? r->focus : 0;
    }
    // Control and Alt pressed and released, flags no case here produces, sent after whatever a
    // case sent: the server keeps the order of input, so once the marker has arrived, so has
    // everything before it. Answers whether it arrived; takes it off the end of its list.
    bool throughMarker() {
        for (auto [press, sym] : {std::pair{true, controlL}, {true, altL}, {false, altL}, {false, controlL}})
            session->key(press, sym);
        auto ends = [](const std::vector<Event>& events) {
            return events.size() >= marker.size() &&
                   std::equal(marker.begin(), marker.end(), events.end() - static_cast<long>(marker.size()));
        };
        if (!pumpUntil([&] { return ends(global) || ends(local); }, 5)) return false;
        auto& list = ends(global) ? global : local;
        list.resize(list.size() - marker.size());
        return true;
    }
    // Lets every event sent so far arrive, then forgets them.
    void settle() {
        ASSERT_TRUE(throughMarker()) << "the marker did not arrive";
        global.clear();
        local.clear();
    }
    bool arrived(std::size_t n) {
        return pumpUntil([&] { return global.size() + local.size() >= n; }, 5);
    }

    xcb_window_t xterm = 0;
    std::vector<Event> global, local;
};

TEST_F(X11Input, AltDragOverTheFocusedXtermReachesTheGlobalMonitor) {
    focusXterm();
    session->key(true, altL);
    session->motion(300, 115);  // its title bar
    session->button(true);
    // Each step once openbox has moved the window along, so the pointer stays on it.
    const Rect start = frameOf(xterm).value_or(Rect{});
    int motions = 0;
    for (int i = 1; i <= 20; ++i)
        ASSERT_TRUE(dragStep(xterm, 300 + 10 * i, 115 + 5 * i, {start.x + 10 * i, start.y + 5 * i}, motions))
            << "openbox did not follow step " << i;
    session->button(false);
    session->key(false, altL);
    ASSERT_TRUE(pumpUntil([&] {
        return std::count(global.begin(), global.end(), Event{EventType::leftMouseUp, Modifier::option}) == 1 &&
               global.back() == Event{EventType::flagsChanged, 0};
    }));
    const std::uint64_t alt = Modifier::option;
    const std::vector<Event> expected = {{EventType::flagsChanged, alt},
                                         {EventType::leftMouseDown, alt},
                                         {EventType::leftMouseDragged, alt},
                                         {EventType::leftMouseUp, alt},
                                         {EventType::flagsChanged, 0}};
    EXPECT_EQ(squeezed(global), expected);
    // Motions that arrive together may go out as one drag, never as more drags than motions.
    const auto drags = std::count_if(global.begin(), global.end(),
                                     [](const Event& e) { return e.type == EventType::leftMouseDragged; });
    EXPECT_GE(drags, 1);
    EXPECT_LE(drags, motions);
    EXPECT_TRUE(local.empty());
    // Nothing was grabbed: openbox moved the window with the drag as always.
    EXPECT_EQ(frameOf(xterm).value_or(Rect{}).x, 300);
}

TEST_F(X11Input, KeysAndModifiersWithTheirFlags) {
    focusXterm();
    struct Case {
        std::vector<std::string> xdotool;
        std::vector<Event> expected;
    };
    const std::uint64_t shift = Modifier::shift, ctrl = Modifier::control, super = Modifier::command,
                        caps = Modifier::capsLock;
    // xdotool sends the releases of modifiers twice; the flags change once.
    const Case cases[] = {
        {{"key", "shift+a"},
         {{EventType::flagsChanged, shift}, {EventType::keyDown, shift}, {EventType::flagsChanged, 0}}},
        {{"key", "ctrl+super+x"},
         {{EventType::flagsChanged, ctrl},
          {EventType::flagsChanged, ctrl | super},
          {EventType::keyDown, ctrl | super}}},
        {{"key", "Caps_Lock", "b", "Caps_Lock"},
         {{EventType::flagsChanged, caps}, {EventType::keyDown, caps}, {EventType::flagsChanged, 0}}},
    };
    for (const auto& c : cases) {
        settle();
        std::vector<std::string> argv{"xdotool"};
        argv.insert(argv.end(), c.xdotool.begin(), c.xdotool.end());
        ASSERT_EQ(session->run(argv), 0);
        ASSERT_TRUE(throughMarker()) << c.xdotool.back();
        ASSERT_GE(global.size(), c.expected.size()) << c.xdotool.back();
        EXPECT_EQ(std::vector<Event>(global.begin(), global.begin() + static_cast<long>(c.expected.size())), c.expected)
            << c.xdotool.back();
        EXPECT_EQ(global.back(), (Event{EventType::flagsChanged, 0})) << c.xdotool.back() << ": flags end released";
        EXPECT_TRUE(local.empty());
    }
}

TEST_F(X11Input, OurOwnWindowGetsKeysLocallyAndNoMouse) {
    // A window of this process, as Qt would make it (with our pid).
    xcb_connection_t* c = session->c();
    xcb_window_t own = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, own, session->root(), 1000, 300, 400, 300, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    auto pid = static_cast<std::uint32_t>(getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, own, session->connection().atoms().netWmPid, XCB_ATOM_CARDINAL, 32, 1,
                        &pid);
    xcb_map_window(c, own);
    ASSERT_TRUE(pumpUntil([&] {
        return session->connection()
            .property32(own, session->connection().atoms().wmState, x11::deadlineIn(1))
            .has_value();
    }));
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, own, XCB_CURRENT_TIME);
    ASSERT_TRUE(pumpUntil([&] { return focused() == own; }));
    settle();

    ASSERT_EQ(session->run({"xdotool", "key", "shift+a"}), 0);
    ASSERT_TRUE(arrived(3));
    EXPECT_EQ(local, (std::vector<Event>{{EventType::flagsChanged, Modifier::shift},
                                         {EventType::keyDown, Modifier::shift},
                                         {EventType::flagsChanged, 0}}));
    // A press on our window (which takes no focus from the click here) goes nowhere global.
    settle();
    auto frame = frameOf(own);
    ASSERT_TRUE(frame);
    int x = static_cast<int>(frame->x) + 200, y = static_cast<int>(frame->y) + 150;
    session->motion(x, y);
    session->button(true);
    session->motion(x + 10, y + 5);
    session->button(false);
    // The release arrives where the press went; pointer input may come later than keys (openbox
    // holds the pointer while it decides about a click), so no key marker here.
    ASSERT_TRUE(pumpUntil([&] {
        return std::count(global.begin(), global.end(), Event{EventType::leftMouseUp, 0}) +
                   std::count(local.begin(), local.end(), Event{EventType::leftMouseUp, 0}) ==
               1;
    }));
    EXPECT_TRUE(global.empty());
    // The same on the xterm is global again.
    session->motion(300, 300);
    session->button(true);
    session->button(false);
    ASSERT_TRUE(pumpUntil([&] { return global.size() >= 2; }));
    EXPECT_EQ(global.front(), (Event{EventType::leftMouseDown, 0}));
}

TEST_F(X11Input, QueuedMotionsGoOutAsTheLatestWithItsPositionAndNothingElseIsDropped) {
    focusXterm();
    // Drags whose handler reads the pointer: it answers with the position of that drag.
    std::vector<Point> seen;
    auto reader = backend->input().addGlobal(eventMask(EventType::leftMouseDragged),
                                             [&](const Event&) { seen.push_back(backend->pointer().location()); });
    session->motion(600, 600);
    session->button(true);
    session->motion(601, 600);
    ASSERT_TRUE(pumpUntil([&] { return !seen.empty(); }));
    settle();
    seen.clear();
    // Everything sent before the monitors get to run: two runs of motions with a modifier
    // change between them, then the release.
    for (int i = 1; i <= 50; ++i) session->motion(600 + 4 * i, 600);
    session->key(true, altL);
    for (int i = 1; i <= 50; ++i) session->motion(800, 600 + 4 * i);
    session->button(false);
    session->key(false, altL);
    session->sync();
    ASSERT_TRUE(pumpUntil([&] { return !global.empty() && global.back() == Event{EventType::flagsChanged, 0}; }));
    const std::uint64_t alt = Modifier::option;
    EXPECT_EQ(squeezed(global), (std::vector<Event>{{EventType::leftMouseDragged, 0},
                                                    {EventType::flagsChanged, alt},
                                                    {EventType::leftMouseDragged, alt},
                                                    {EventType::leftMouseUp, alt},
                                                    {EventType::flagsChanged, 0}}));
    EXPECT_LT(global.size(), 20u) << "the motions were not coalesced";
    // The last drag answered where the pointer ended (AppKit: the primary is 1440 high).
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), (Point{800, 1440 - 800}));
}

TEST_F(X11Input, APressCountsWhereThePointerWasNotWhereItWentSince) {
    // An override-redirect window of this process, as Qt makes a divider handle.
    xcb_connection_t* c = session->c();
    xcb_window_t own = xcb_generate_id(c);
    const std::uint32_t overrideRedirect = 1;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, own, session->root(), 1000, 300, 28, 600, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
    auto pid = static_cast<std::uint32_t>(getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, own, session->connection().atoms().netWmPid, XCB_ATOM_CARDINAL, 32, 1,
                        &pid);
    xcb_map_window(c, own);
    settle();
    // Pressed on it and dragged far off before the monitors read a thing.
    session->motion(1014, 600);
    session->button(true);
    session->motion(300, 300);
    session->sync();
    ASSERT_TRUE(arrived(2));
    pumpUntil([] { return false; }, 0.2);
    EXPECT_TRUE(global.empty()) << "no mouse-down of another application";
    ASSERT_FALSE(local.empty());
    EXPECT_EQ(local.front(), (Event{EventType::leftMouseDown, 0}));
    session->button(false);
    settle();
    // Released and away: a press over the xterm is the xterm's again.
    session->button(true);
    session->button(false);
    ASSERT_TRUE(arrived(2));
    EXPECT_EQ(global.front(), (Event{EventType::leftMouseDown, 0}));
    // Hidden under a resting pointer, as the overlay's handles are when the keys go up: what is
    // pressed there afterwards is not ours.
    session->motion(1014, 600);
    settle();
    xcb_unmap_window(c, own);
    session->sync();
    settle();
    session->button(true);
    session->button(false);
    ASSERT_TRUE(arrived(2));
    EXPECT_EQ(global.front(), (Event{EventType::leftMouseDown, 0}));
}

}  // namespace
}  // namespace marrowick::test
