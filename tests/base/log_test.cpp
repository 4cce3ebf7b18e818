#include "base/log.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"

namespace marrowick {
namespace {

using test::readFile;
using test::TempDir;

class Log : public ::testing::Test {
protected:
    Log() { setLogPath(file); }
    ~Log() override { setLogPath({}); }
    TempDir dir;
    std::filesystem::path file = dir / "Marrowick.log";
};

const std::string stamp = R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} \+0000)";

TEST_F(Log, EntriesAreTimestampedLinesAppendedInOrder) {
    note("watching drags");
    EXPECT_TRUE(std::regex_match(readFile(file), std::regex(stamp + " watching drags\n")));
    note("");
    note("two\nlines");
    note("snapped × ⌥");
    EXPECT_TRUE(std::regex_match(readFile(file), std::regex(stamp + " watching drags\n" + stamp + " \n" + stamp +
                                                            " two\nlines\n" + stamp + " snapped × ⌥\n")))
        << readFile(file);
}

TEST_F(Log, RemovalClearsThePreviousRun) {
    note("old");
    removeLog();
    removeLog();  // nothing there: ignored
    note("new");
    EXPECT_TRUE(std::regex_match(readFile(file), std::regex(stamp + " new\n")));
}

TEST_F(Log, AMissingFolderIsNeverCreated) {
    setLogPath(dir / "missing" / "Marrowick.log");
    note("lost");
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST_F(Log, TwoThreadsNeitherInterleaveNorLoseLines) {
    constexpr int perThread = 500;
    auto writer = [](char tag) {
        for (int i = 0; i < perThread; ++i) note(std::string(200, tag) + std::to_string(i));
    };
    std::thread a(writer, 'a');
    std::thread b(writer, 'b');
    a.join();
    b.join();
    std::istringstream lines(readFile(file));
    std::string line;
    int count[2] = {0, 0};
    const std::regex shape(stamp + " (a{200}|b{200})\\d+");
    while (std::getline(lines, line)) {
        ASSERT_TRUE(std::regex_match(line, shape)) << line;
        ++count[line[26] == 'a' ? 0 : 1];
    }
    EXPECT_EQ(count[0], perThread);
    EXPECT_EQ(count[1], perThread);
}

}  // namespace
}  // namespace marrowick
