#include "platform/subscription.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/sim/sim_scheduler.h"
#include "settings/notification_center.h"

namespace marrowick {
namespace {

TEST(NotificationCenter, PostsToLiveObserversOfTheNameOnly) {
    NotificationCenter c;
    int a = 0;
    int b = 0;
    auto ta = c.addObserver("a", [&] { ++a; });
    auto tb = c.addObserver("b", [&] { ++b; });
    c.post("a");
    ta.reset();
    c.post("a");
    c.post("b");
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
}

TEST(HandlerList, AnObjectThatGoesTakesItsHandlerAlong) {
    HandlerList<int> list;
    std::vector<int> seen;
    struct Owner {
        Subscription token;
    };
    auto first = std::make_unique<Owner>();
    auto second = std::make_unique<Owner>();
    first->token = list.add([&](int v) {
        seen.push_back(v);
        second.reset();  // the second owner goes while the list runs
    });
    second->token = list.add([&](int v) { seen.push_back(-v); });
    list.call(1);
    list.call(2);
    EXPECT_EQ(seen, (std::vector<int>{1, 2})) << "a handler removed during a call is not called";
    first.reset();
    list.call(3);
    EXPECT_EQ(seen.size(), 2U);
    EXPECT_EQ(list.size(), 0U);

    Subscription outlives;
    {
        HandlerList<> gone;
        outlives = gone.add([] {});
    }
    outlives.reset();  // the list went first: nothing to do, nothing to crash
}

TEST(TaskHandle, TheOwnerTakesItsTasksAlong) {
    sim::SimScheduler clock;
    int ran = 0;
    {
        TaskHandle owned = clock.after(1, [&] { ++ran; });
    }
    TaskHandle replaced = clock.after(1, [&] { ran += 10; });
    replaced = clock.after(1, [&] { ran += 100; });
    TaskHandle timer = clock.every(1, [&] { ran += 1000; });
    clock.after(1, [&] { ran += 10000; }).detach();
    clock.advance(1);
    EXPECT_EQ(ran, 11100) << "dropped and replaced tasks never run; a detached one does";
    timer.cancel();
    clock.advance(5);
    EXPECT_EQ(ran, 11100);
    EXPECT_EQ(clock.pending(), 0U);
}

}  // namespace
}  // namespace marrowick
