#include "platform/x11/pending_events.h"

#include <gtest/gtest.h>

namespace marrowick::test {
namespace {

using x11::PendingEvents;
using x11::PointerSample;

constexpr Modifiers alt{Key::alt};
constexpr InputEvent down{InputKind::press, {}};
constexpr InputEvent drag{InputKind::drag, {}};
constexpr InputEvent altDrag{InputKind::drag, alt};
constexpr InputEvent altOn{InputKind::modifiers, alt};
constexpr InputEvent up{InputKind::release, alt};
constexpr InputEvent key{InputKind::key, alt};

// Asks for every position still wanted, answers each with x = its sequence number, and returns
// what goes out.
std::vector<PendingEvents::Ready> flush(PendingEvents& q, unsigned& sequence) {
    q.askPositions([&] { return ++sequence; });
    for (unsigned s : q.awaited()) q.answer(s, PointerSample{{static_cast<double>(s), 0}, 1});
    std::vector<PendingEvents::Ready> out;
    while (auto r = q.pop()) out.push_back(*r);
    return out;
}

std::vector<InputEvent> events(const std::vector<PendingEvents::Ready>& ready) {
    std::vector<InputEvent> out;
    for (const auto& r : ready) out.push_back(r.event);
    return out;
}

TEST(PendingEvents, RunsOfDragsGoOutAsTheLatestAndNothingElseIsDroppedOrReordered) {
    PendingEvents q;
    unsigned sequence = 0;
    q.push(down, false, true);
    q.push(drag, false, true);
    q.push(drag, false, true);
    q.push(altOn, false, false);
    q.push(altDrag, false, true);
    q.push(key, false, false);
    q.push(altDrag, false, true);
    q.push(altDrag, false, true);
    q.push(up, false, false);
    const auto out = flush(q, sequence);
    EXPECT_EQ(events(out), (std::vector<InputEvent>{down, drag, altOn, altDrag, key, altDrag, up}));
    // One request per press and per run of drags, each answered for its own event.
    EXPECT_EQ(sequence, 4u);
    ASSERT_TRUE(out[1].pointer);
    EXPECT_EQ(out[5].pointer->root.x, 4);
    EXPECT_FALSE(out[6].pointer);
    EXPECT_TRUE(q.empty());
}

TEST(PendingEvents, EventsWaitBehindAnUnansweredPositionAndDragsAskedForStaySeparate) {
    PendingEvents q;
    unsigned sequence = 0;
    q.push(drag, false, true);
    q.askPositions([&] { return ++sequence; });
    // Asked for already: a later drag cannot join it, its answer may be older.
    q.push(altDrag, false, true);
    q.push(up, false, false);
    EXPECT_FALSE(q.pop()) << "the release overtook a drag waiting for its position";
    q.askPositions([&] { return ++sequence; });
    q.answer(2, PointerSample{{20, 0}, 1});
    EXPECT_FALSE(q.pop()) << "the second drag overtook the first";
    q.answer(1, std::nullopt);  // a failed query: the drag still goes out, with no position
    // Both answered and back to back: only the latest goes out.
    auto first = q.pop();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->event, altDrag);
    EXPECT_EQ(first->pointer, (PointerSample{{20, 0}, 1}));
    EXPECT_EQ(q.pop()->event, up);
}

TEST(PendingEvents, DragsThatWantNoPositionGoOutAtOnceAndAGoneServerReleasesEverything) {
    PendingEvents q;
    q.push(drag, false, false);
    auto r = q.pop();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->pointer);
    q.push(down, false, true);
    q.push(key, false, false);
    q.askPositions([] { return 7u; });
    EXPECT_FALSE(q.pop());
    q.answerAll();
    EXPECT_EQ(q.pop()->event, down);
    EXPECT_EQ(q.pop()->event, key);
    EXPECT_TRUE(q.empty());
}

}  // namespace
}  // namespace marrowick::test
