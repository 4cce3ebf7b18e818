#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>

#include "support/temp_dir.h"

namespace marrowick {
namespace {

// Runs the event loop until done() or a second has passed.
template <class F>
bool spinUntil(F done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

TEST(SingleInstance, ASecondLaunchHandsOverAndStops) {
    test::TempDir dir;
    int reopens = 0;
    auto first = SingleInstance::acquire(dir.path(), [&] { ++reopens; });
    ASSERT_NE(first, nullptr);
    // The second launch blocks while it hands over, so it runs on a thread of its own here.
    std::unique_ptr<SingleInstance> second;
    std::thread launch([&] { second = SingleInstance::acquire(dir.path(), [] {}); });
    EXPECT_TRUE(spinUntil([&] { return reopens == 1; }));
    launch.join();
    EXPECT_EQ(second, nullptr);
}

TEST(SingleInstance, IgnoresEverythingButTheOneMessage) {
    test::TempDir dir;
    int reopens = 0;
    auto first = SingleInstance::acquire(dir.path(), [&] { ++reopens; });
    ASSERT_NE(first, nullptr);
    for (const char* junk : {"reopen please", "REOPEN", "", "settings"}) {
        QLocalSocket s;
        s.connectToServer(QString::fromStdString(first->socketPath().string()));
        ASSERT_TRUE(s.waitForConnected(1000));
        s.write(junk);
        s.flush();
        s.disconnectFromServer();
        spinUntil([] { return false; });
    }
    EXPECT_EQ(reopens, 0);
}

TEST(SingleInstance, AStaleSocketDoesNotBlockTheNextStart) {
    test::TempDir dir;
    const auto socket = dir.path() / ("marrowick-" + std::to_string(::getuid()) + ".socket");
    test::writeFile(socket, "left by a crash");
    int reopens = 0;
    auto first = SingleInstance::acquire(dir.path(), [&] { ++reopens; });
    ASSERT_NE(first, nullptr);
    first.reset();  // the lock goes with it
    auto again = SingleInstance::acquire(dir.path(), [] {});
    EXPECT_NE(again, nullptr);
}

}  // namespace
}  // namespace marrowick
