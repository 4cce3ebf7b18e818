#include "app/single_instance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace marrowick {
namespace {

// Runs the event loop until done() or the deadline has passed.
template <class F>
bool spinUntil(F done, int deadlineMs = 1000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < deadlineMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Long enough for the instance's request timeout to pass, with room to spare.
constexpr int pastTheTimeout = SingleInstance::requestTimeoutMs + 4000;

std::unique_ptr<QLocalSocket> connectTo(const SingleInstance& instance) {
    auto s = std::make_unique<QLocalSocket>();
    s->connectToServer(QString::fromStdString(instance.socketPath().string()));
    EXPECT_TRUE(s->waitForConnected(1000));
    return s;
}

bool closed(const QLocalSocket& s) { return s.state() == QLocalSocket::UnconnectedState; }

TEST(SingleInstance, ALaterLaunchHandsOverItsArgumentsAndStops) {
    test::TempDir dir;
    std::vector<std::vector<std::string>> requests;
    auto first = SingleInstance::acquire(dir.path(), {}, [&](const std::vector<std::string>& a) {
                     requests.push_back(a);
                 }).instance;
    ASSERT_NE(first, nullptr);
    const std::vector<std::vector<std::string>> launches{{}, {"--overlay", "--about"}};
    for (std::size_t i = 0; i < launches.size(); ++i) {
        // A later launch blocks while it hands over, so it runs on a thread of its own here.
        SingleInstance::Acquired later;
        std::thread launch([&] { later = SingleInstance::acquire(dir.path(), launches[i], [](const auto&) {}); });
        EXPECT_TRUE(spinUntil([&] { return requests.size() == i + 1; }));
        launch.join();
        EXPECT_EQ(later.instance, nullptr);
        EXPECT_FALSE(later.problem) << "handing over is no problem";
    }
    EXPECT_EQ(requests, launches);
    // More than a request may hold is not sent.
    const auto tooMany = SingleInstance::acquire(dir.path(), std::vector<std::string>(8, "--settings"), {});
    EXPECT_EQ(tooMany.instance, nullptr);
    EXPECT_TRUE(tooMany.problem);
}

TEST(SingleInstance, IgnoresEverythingButTheOneMessage) {
    test::TempDir dir;
    int reopens = 0;
    auto first = SingleInstance::acquire(dir.path(), {}, [&](const auto&) { ++reopens; }).instance;
    ASSERT_NE(first, nullptr);
    for (const char* junk : {"reopen please", "REOPEN", "", "settings", "reopen\n\n--about", "--about\nreopen"}) {
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
    auto first = SingleInstance::acquire(dir.path(), {}, [&](const auto&) { ++reopens; }).instance;
    ASSERT_NE(first, nullptr);
    first.reset();  // the lock goes with it
    auto again = SingleInstance::acquire(dir.path(), {}, [](const auto&) {});
    EXPECT_NE(again.instance, nullptr);
}

TEST(SingleInstance, AFloodIsCutOffAndAnIdleConnectionClosed) {
    test::TempDir dir;
    int reopens = 0;
    auto instance = SingleInstance::acquire(dir.path(), {}, [&](const auto&) { ++reopens; }).instance;
    ASSERT_NE(instance, nullptr);
    auto flood = connectTo(*instance);
    flood->write(QByteArray("reopen") + QByteArray(1 << 20, 'x'));
    auto seventeen = connectTo(*instance);
    seventeen->write(QByteArray(SingleInstance::maxRequestBytes + 1, 'x'));
    auto idle = connectTo(*instance);
    EXPECT_TRUE(spinUntil([&] { return closed(*flood); })) << "cut off once it is too long";
    EXPECT_TRUE(spinUntil([&] { return closed(*seventeen); }, 700)) << "one byte too many is too long, at once";
    EXPECT_TRUE(spinUntil([&] { return closed(*idle); }, pastTheTimeout));
    EXPECT_EQ(reopens, 0);
}

TEST(SingleInstance, HoldsFewConnectionsAtOnceAndStillAnswers) {
    test::TempDir dir;
    int reopens = 0;
    auto instance = SingleInstance::acquire(dir.path(), {}, [&](const auto&) { ++reopens; }).instance;
    ASSERT_NE(instance, nullptr);
    std::vector<std::unique_ptr<QLocalSocket>> held;
    for (int i = 0; i < 12; ++i) {
        held.push_back(connectTo(*instance));
        spinUntil([] { return false; }, 20);  // accepted in order
    }
    // Eight are held; the ones beyond are closed at once, the others when their time is up.
    for (std::size_t i = 8; i < held.size(); ++i)
        EXPECT_TRUE(spinUntil([&] { return closed(*held[i]); }, 500)) << i << " is closed well before its timeout";
    EXPECT_TRUE(spinUntil([&] { return std::all_of(held.begin(), held.end(), [](auto& s) { return closed(*s); }); },
                          pastTheTimeout));
    auto request = connectTo(*instance);
    request->write(SingleInstance::reopenMessage);
    request->flush();
    request->disconnectFromServer();
    EXPECT_TRUE(spinUntil([&] { return reopens == 1; }));
}

TEST(SingleInstance, ARuntimeFolderThatCannotBeWrittenIsAProblem) {
    test::TempDir dir;
    auto missing = SingleInstance::acquire(dir / "missing", {}, [](const auto&) {});
    EXPECT_EQ(missing.instance, nullptr);
    ASSERT_TRUE(missing.problem);
    EXPECT_NE(missing.problem->find("cannot write in the runtime folder"), std::string::npos) << *missing.problem;
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.path(),
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        auto readOnly = SingleInstance::acquire(dir.path(), {}, [](const auto&) {});
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
        EXPECT_EQ(readOnly.instance, nullptr);
        EXPECT_TRUE(readOnly.problem);
    }
}

// A socket that cannot be made: the instance runs and says why, and a later launch tells that
// reason instead of a running instance that does not answer.
TEST(SingleInstance, ASocketThatCannotBeMadeIsSaidAndLaterLaunchesTellWhy) {
    test::TempDir dir;
    struct Case {
        const char* what;
        std::filesystem::path runtime;
    };
    const std::filesystem::path deep = dir / std::string(120, 'd');
    std::filesystem::create_directories(deep);
    const std::filesystem::path taken = dir / "taken";
    std::filesystem::create_directories(taken / ("marrowick-" + std::to_string(::getuid()) + ".socket") / "inside");
    for (const Case& c : {Case{"a path too long for a socket", deep}, Case{"a folder at the socket's name", taken}}) {
        auto first = SingleInstance::acquire(c.runtime, {}, [](const auto&) {});
        ASSERT_NE(first.instance, nullptr) << c.what;
        ASSERT_TRUE(first.instance->listenProblem()) << c.what;
        EXPECT_NE(first.instance->listenProblem()->find("later launches cannot reach it"), std::string::npos)
            << *first.instance->listenProblem();
        SingleInstance::Acquired later;
        std::thread launch([&] { later = SingleInstance::acquire(c.runtime, {}, [](const auto&) {}); });
        launch.join();
        EXPECT_EQ(later.instance, nullptr);
        ASSERT_TRUE(later.problem) << c.what;
        EXPECT_NE(later.problem->find("cannot be reached: it could not listen at"), std::string::npos)
            << *later.problem;
    }
    auto fine = SingleInstance::acquire(dir.path(), {}, [](const auto&) {});
    ASSERT_NE(fine.instance, nullptr);
    EXPECT_FALSE(fine.instance->listenProblem());
}

// Without XDG_RUNTIME_DIR, in a temporary folder of the test's own.
class SingleInstanceFallback : public ::testing::Test {
protected:
    SingleInstanceFallback() {
        if (const char* v = std::getenv("XDG_RUNTIME_DIR")) runtime_ = v;
        if (const char* v = std::getenv("TMPDIR")) tmp_ = v;
        ::unsetenv("XDG_RUNTIME_DIR");
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
    }
    ~SingleInstanceFallback() override {
        restore("XDG_RUNTIME_DIR", runtime_);
        restore("TMPDIR", tmp_);
    }
    static void restore(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    test::TempDir tmp;
    const std::filesystem::path ours = tmp / ("marrowick-" + std::to_string(::getuid()));
    std::string problem;

private:
    std::optional<std::string> runtime_;
    std::optional<std::string> tmp_;
};

TEST_F(SingleInstanceFallback, IsAFolderOfTheUsersOwn) {
    const auto dir = SingleInstance::runtimeDir(problem);
    ASSERT_TRUE(dir) << problem;
    EXPECT_EQ(*dir, ours);
    EXPECT_EQ(std::filesystem::status(ours).permissions(), std::filesystem::perms::owner_all);
    EXPECT_EQ(SingleInstance::runtimeDir(problem), ours) << "and is used again";
    EXPECT_NE(SingleInstance::acquire(*dir, {}, [](const auto&) {}).instance, nullptr);
}

TEST_F(SingleInstanceFallback, AnyOtherFolderIsRefused) {
    const auto expectRefused = [&](const char* what) {
        problem.clear();
        EXPECT_FALSE(SingleInstance::runtimeDir(problem)) << what;
        EXPECT_NE(problem.find(ours.string()), std::string::npos) << what << ": " << problem;
    };
    std::filesystem::create_directory(ours);
    std::filesystem::permissions(ours, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                           std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                           std::filesystem::perms::others_exec);
    expectRefused("open to others");
    std::filesystem::remove(ours);
    std::filesystem::create_directory(tmp / "elsewhere");
    std::filesystem::permissions(tmp / "elsewhere", std::filesystem::perms::owner_all);
    std::filesystem::create_directory_symlink(tmp / "elsewhere", ours);
    expectRefused("a link");
    std::filesystem::remove(ours);
    test::writeFile(ours, "");
    expectRefused("a file");
    std::filesystem::remove(ours);
    if (::geteuid() == 0) {
        std::filesystem::create_directory(ours);
        std::filesystem::permissions(ours, std::filesystem::perms::owner_all);
        ASSERT_EQ(::chown(ours.c_str(), 65534, 65534), 0);
        expectRefused("another user's");
    }
}

}  // namespace
}  // namespace marrowick
