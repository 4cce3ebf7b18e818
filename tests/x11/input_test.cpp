#include <unistd.h>

#include <algorithm>

#include "x11/x11_fixture.h"

namespace marrowick::test {
namespace {

constexpr xcb_keysym_t altL = 0xffe9;
constexpr xcb_keysym_t controlL = 0xffe3;
constexpr InputEvent released{InputKind::modifiers, {}};
const std::vector<InputEvent> marker = {{InputKind::modifiers, {Key::control}},
                                        {InputKind::modifiers, {Key::control, Key::alt}},
                                        {InputKind::modifiers, {Key::control}},
                                        released};

// Runs of drags shortened to one, so sequences compare without counting motions.
std::vector<InputEvent> squeezed(const std::vector<InputEvent>& events) {
    std::vector<InputEvent> out;
    for (const InputEvent& e : events)
        if (out.empty() || !(e.kind == InputKind::drag && out.back() == e)) out.push_back(e);
    return out;
}

class X11InputTest : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        auto w = session->xterm("80x24+100+100");
        ASSERT_TRUE(w);
        xterm = *w;
        othersWatch = backend->input().watchOthers([this](const InputEvent& e) { others.push_back(e); });
        ownWatch = backend->input().watchOwn([this](const InputEvent& e) { own.push_back(e); });
    }
    Subscription othersWatch;
    Subscription ownWatch;
    // Clicks into the xterm so that openbox gives it the focus.
    void focusXterm() {
        session->motion(300, 300);
        session->button(true);
        session->button(false);
        ASSERT_TRUE(pumpUntil([&] {
            return focused() == xterm &&
                   std::count(others.begin(), others.end(), InputEvent{InputKind::release, {}}) == 1;
        })) << "the xterm did not get the focus";
        settle();
    }
    xcb_window_t focused() {
        auto r = session->connection().await<xcb_get_input_focus_reply_t>(xcb_get_input_focus(session->c()),
                                                                          x11::deadlineIn(1));
        return r ? r->focus : 0;
    }
    // Control and Alt pressed and released, key sets no case here produces, sent after whatever a
    // case sent: the server keeps the order of input, so once the marker has arrived, so has
    // everything before it. Answers whether it arrived; takes it off the end of its list.
    bool throughMarker() {
        for (auto [press, sym] : {std::pair{true, controlL}, {true, altL}, {false, altL}, {false, controlL}})
            session->key(press, sym);
        auto ends = [](const std::vector<InputEvent>& events) {
            return events.size() >= marker.size() &&
                   std::equal(marker.begin(), marker.end(), events.end() - static_cast<long>(marker.size()));
        };
        if (!pumpUntil([&] { return ends(others) || ends(own); }, 5)) return false;
        auto& list = ends(others) ? others : own;
        list.resize(list.size() - marker.size());
        return true;
    }
    // Lets every event sent so far arrive, then forgets them.
    void settle() {
        ASSERT_TRUE(throughMarker()) << "the marker did not arrive";
        others.clear();
        own.clear();
    }
    bool arrived(std::size_t n) {
        return pumpUntil([&] { return others.size() + own.size() >= n; }, 5);
    }
    // A window of this process, as Qt makes them (with our pid); override-redirect as the
    // overlay's handles are, or one the manager takes on.
    xcb_window_t ownWindow(int x, int y, int w, int h, bool overrideRedirect) {
        xcb_connection_t* c = session->c();
        xcb_window_t win = xcb_generate_id(c);
        const std::uint32_t redirect = overrideRedirect ? 1 : 0;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, win, session->root(), static_cast<std::int16_t>(x),
                          static_cast<std::int16_t>(y), static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT, &redirect);
        auto pid = static_cast<std::uint32_t>(getpid());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, session->connection().atoms().netWmPid, XCB_ATOM_CARDINAL,
                            32, 1, &pid);
        xcb_map_window(c, win);
        return win;
    }

    xcb_window_t xterm = 0;
    std::vector<InputEvent> others, own;
};

TEST_F(X11InputTest, AltDragOverTheFocusedXtermReachesTheOthersWatchers) {
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
    const Modifiers alt{Key::alt};
    ASSERT_TRUE(pumpUntil([&] {
        return std::count(others.begin(), others.end(), InputEvent{InputKind::release, alt}) == 1 &&
               others.back() == released;
    }));
    const std::vector<InputEvent> expected = {{InputKind::modifiers, alt},
                                              {InputKind::press, alt},
                                              {InputKind::drag, alt},
                                              {InputKind::release, alt},
                                              released};
    EXPECT_EQ(squeezed(others), expected);
    // Motions that arrive together may go out as one drag, never as more drags than motions.
    const auto drags =
        std::count_if(others.begin(), others.end(), [](const InputEvent& e) { return e.kind == InputKind::drag; });
    EXPECT_GE(drags, 1);
    EXPECT_LE(drags, motions);
    EXPECT_TRUE(own.empty());
    // Nothing was grabbed: openbox moved the window with the drag as always.
    EXPECT_EQ(frameOf(xterm).value_or(Rect{}).x, 300);
}

TEST_F(X11InputTest, KeysAndModifiersWithTheKeysHeld) {
    focusXterm();
    struct Case {
        std::vector<std::string> xdotool;
        std::vector<InputEvent> expected;  // what comes first; after it only releases of keys
    };
    const Modifiers shift{Key::shift}, control{Key::control}, controlSuper{Key::control, Key::super};
    // xdotool sends the releases of modifiers twice; the set changes once. Caps Lock is no key of
    // a drag: it changes no set and leaves the next key's set empty.
    const Case cases[] = {
        {{"key", "shift+a"}, {{InputKind::modifiers, shift}, {InputKind::key, shift}, released}},
        {{"key", "ctrl+super+x"},
         {{InputKind::modifiers, control}, {InputKind::modifiers, controlSuper}, {InputKind::key, controlSuper}}},
        {{"key", "Caps_Lock", "b", "Caps_Lock"}, {{InputKind::key, {}}}},
        {{"key", "Escape"}, {{InputKind::key, {}, true}}},
    };
    for (const auto& c : cases) {
        const std::string what = c.xdotool.back();
        settle();
        std::vector<std::string> argv{"xdotool"};
        argv.insert(argv.end(), c.xdotool.begin(), c.xdotool.end());
        ASSERT_EQ(session->run(argv), 0);
        ASSERT_TRUE(throughMarker()) << what;
        ASSERT_GE(others.size(), c.expected.size()) << what << ": " << ::testing::PrintToString(others);
        EXPECT_EQ(std::vector<InputEvent>(others.begin(), others.begin() + static_cast<long>(c.expected.size())),
                  c.expected)
            << what;
        for (auto it = others.begin() + static_cast<long>(c.expected.size()); it != others.end(); ++it)
            EXPECT_EQ(it->kind, InputKind::modifiers) << what << ": " << ::testing::PrintToString(others);
        EXPECT_TRUE(others.back().modifiers.empty()) << what << ": keys end released";
        EXPECT_TRUE(own.empty());
    }
}

TEST_F(X11InputTest, OurOwnWindowGetsKeysAsOwnAndNoMouse) {
    xcb_window_t ownWin = ownWindow(1000, 300, 400, 300, false);
    ASSERT_TRUE(pumpUntil([&] {
        return session->connection()
            .property32(ownWin, session->connection().atoms().wmState, x11::deadlineIn(1))
            .has_value();
    }));
    xcb_set_input_focus(session->c(), XCB_INPUT_FOCUS_POINTER_ROOT, ownWin, XCB_CURRENT_TIME);
    ASSERT_TRUE(pumpUntil([&] { return focused() == ownWin; }));
    settle();

    ASSERT_EQ(session->run({"xdotool", "key", "shift+a"}), 0);
    ASSERT_TRUE(arrived(3));
    const Modifiers shift{Key::shift};
    EXPECT_EQ(own, (std::vector<InputEvent>{{InputKind::modifiers, shift}, {InputKind::key, shift}, released}));
    EXPECT_TRUE(others.empty());
    // A press on our window (which takes no focus from the click here) goes to no other's watcher.
    settle();
    auto frame = frameOf(ownWin);
    ASSERT_TRUE(frame);
    int x = static_cast<int>(frame->x) + 200, y = static_cast<int>(frame->y) + 150;
    session->motion(x, y);
    session->button(true);
    session->motion(x + 10, y + 5);
    session->button(false);
    // The release arrives where the press went; pointer input may come later than keys (openbox
    // holds the pointer while it decides about a click), so no key marker here.
    const InputEvent up{InputKind::release, {}};
    ASSERT_TRUE(pumpUntil(
        [&] { return std::count(others.begin(), others.end(), up) + std::count(own.begin(), own.end(), up) == 1; }));
    EXPECT_TRUE(others.empty());
    // The same on the xterm is the others' again.
    session->motion(300, 300);
    session->button(true);
    session->button(false);
    ASSERT_TRUE(pumpUntil([&] { return others.size() >= 2; }));
    EXPECT_EQ(others.front(), (InputEvent{InputKind::press, {}}));
}

TEST_F(X11InputTest, QueuedMotionsGoOutAsTheLatestWithItsPositionAndNothingElseIsDropped) {
    focusXterm();
    // Drags whose watcher reads the pointer: it answers with the position of that drag.
    std::vector<Point> seen;
    auto reader = backend->input().watchOthers([&](const InputEvent& e) {
        if (e.kind == InputKind::drag) seen.push_back(backend->pointer().location());
    });
    session->motion(600, 600);
    session->button(true);
    session->motion(601, 600);
    ASSERT_TRUE(pumpUntil([&] { return !seen.empty(); }));
    settle();
    seen.clear();
    // Everything sent before the watchers get to run: two runs of motions with a modifier
    // change between them, then the release.
    for (int i = 1; i <= 50; ++i) session->motion(600 + 4 * i, 600);
    session->key(true, altL);
    for (int i = 1; i <= 50; ++i) session->motion(800, 600 + 4 * i);
    session->button(false);
    session->key(false, altL);
    session->sync();
    ASSERT_TRUE(pumpUntil([&] { return !others.empty() && others.back() == released; }));
    const Modifiers alt{Key::alt};
    EXPECT_EQ(squeezed(others), (std::vector<InputEvent>{{InputKind::drag, {}},
                                                         {InputKind::modifiers, alt},
                                                         {InputKind::drag, alt},
                                                         {InputKind::release, alt},
                                                         released}));
    EXPECT_LT(others.size(), 20u) << "the motions were not coalesced";
    // The last drag answered where the pointer ended, in root coordinates.
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), (Point{800, 800}));
}

TEST_F(X11InputTest, APressCountsWhereThePointerWasNotWhereItWentSince) {
    // An override-redirect window of this process, as Qt makes a divider handle.
    xcb_window_t handle = ownWindow(1000, 300, 28, 600, true);
    settle();
    // Pressed on it and dragged far off before the watchers read a thing.
    session->motion(1014, 600);
    session->button(true);
    session->motion(300, 300);
    session->sync();
    // Each event goes to one side only: once both arrived, neither can still reach the others.
    ASSERT_TRUE(arrived(2));
    EXPECT_TRUE(others.empty()) << "no press of another application";
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.front(), (InputEvent{InputKind::press, {}}));
    session->button(false);
    settle();
    // Released and away: a press over the xterm is the xterm's again.
    session->button(true);
    session->button(false);
    ASSERT_TRUE(arrived(2));
    EXPECT_EQ(others.front(), (InputEvent{InputKind::press, {}}));
    // Hidden under a resting pointer, as the overlay's handles are when the keys go up: what is
    // pressed there afterwards is not ours.
    session->motion(1014, 600);
    settle();
    xcb_unmap_window(session->c(), handle);
    session->sync();
    settle();
    session->button(true);
    session->button(false);
    ASSERT_TRUE(arrived(2));
    EXPECT_EQ(others.front(), (InputEvent{InputKind::press, {}}));
}

}  // namespace
}  // namespace marrowick::test
