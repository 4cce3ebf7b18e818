#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace marrowick {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

mode_t modeOf(const std::filesystem::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 0777;
}

class AtomicFile : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path file = dir / "settings.json";
    std::filesystem::path temporary = dir / ("settings.json.tmp-" + std::to_string(::getpid()));
};

// Whatever sits at the temporary file's name is never written through: a planted link would
// otherwise truncate its target.
TEST_F(AtomicFile, NeverWritesThroughWhatSitsAtTheTemporaryName) {
    const std::filesystem::path victim = dir / "victim";
    writeFile(victim, "precious");
    std::filesystem::create_symlink(victim, temporary);
    ASSERT_TRUE(replaceFile(file, "new", true, 0600));
    EXPECT_EQ(readFile(file), "new");
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_FALSE(std::filesystem::is_symlink(file));

    writeFile(temporary, "left by a write that died");
    ASSERT_TRUE(replaceFile(file, "newer", false, 0600));
    EXPECT_EQ(readFile(file), "newer");
    EXPECT_FALSE(std::filesystem::exists(temporary));
}

TEST_F(AtomicFile, AReplacedFileKeepsItsModeAndANewOneGetsTheModeGiven) {
    ASSERT_TRUE(replaceFile(file, "first", false, 0600));
    EXPECT_EQ(modeOf(file), 0600U);
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    ASSERT_TRUE(replaceFile(file, "second", false, 0600));
    EXPECT_EQ(modeOf(file), 0644U);
    EXPECT_EQ(readFile(file), "second");
}

}  // namespace
}  // namespace marrowick
