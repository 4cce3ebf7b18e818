#include "follow/serial_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace marrowick {
namespace {

TEST(SerialQueue, RunsTasksInOrderOneAtATime) {
    SerialQueue q;
    std::vector<int> order;  // touched only on the queue
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    for (int i = 0; i < 100; ++i) {
        q.async([&, i] {
            if (running.fetch_add(1) != 0) overlapped = true;
            order.push_back(i);
            running.fetch_sub(1);
        });
    }
    q.drain();
    ASSERT_EQ(order.size(), 100U);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    EXPECT_FALSE(overlapped);
}

TEST(SerialQueue, AHoldKeepsTasksWaiting) {
    SerialQueue q;
    std::atomic<int> ran{0};
    {
        auto hold = q.hold();
        q.async([&] { ++ran; });
        std::this_thread::yield();
        EXPECT_EQ(ran.load(), 0);
    }
    q.drain();
    EXPECT_EQ(ran.load(), 1);
}

TEST(SerialQueue, DestructionRunsWhatIsQueued) {
    std::atomic<int> ran{0};
    {
        SerialQueue q;
        for (int i = 0; i < 10; ++i) q.async([&] { ++ran; });
    }
    EXPECT_EQ(ran.load(), 10);
}

}  // namespace
}  // namespace marrowick
