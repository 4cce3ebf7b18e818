#include "settings/defaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <set>

#include "base/log.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(Defaults, PersistedValuesWinOverRegisteredOnes) {
    Defaults d;
    d.registerDefaults({{"a", Value(1)}, {"b", Value(true)}});
    EXPECT_EQ(d.integer("a"), 1);
    d.set("a", Value(7));
    EXPECT_EQ(d.integer("a"), 7);
    d.remove("a");
    EXPECT_EQ(d.integer("a"), 1) << "removing the persisted value brings the registered one back";
    EXPECT_EQ(d.object("missing"), nullptr);
    EXPECT_EQ(d.integer("missing"), 0);
    EXPECT_FALSE(d.boolean("missing"));
    EXPECT_EQ(d.real("missing"), 0.0);
    EXPECT_EQ(d.array("missing"), nullptr);
    EXPECT_EQ(d.dictionary("missing"), nullptr);
}

struct Coercion {
    Value stored;
    std::int64_t integer;
    bool boolean;
    double real;
};

class DefaultsCoercion : public ::testing::TestWithParam<Coercion> {};

TEST_P(DefaultsCoercion, TypedReadsFollowTheUserDefaultsRules) {
    const Coercion& c = GetParam();
    Defaults d;
    d.set("k", c.stored);
    EXPECT_EQ(d.integer("k"), c.integer);
    EXPECT_EQ(d.boolean("k"), c.boolean);
    EXPECT_DOUBLE_EQ(d.real("k"), c.real);
}

INSTANTIATE_TEST_SUITE_P(Table, DefaultsCoercion,
                         ::testing::Values(Coercion{Value(42), 42, true, 42.0}, Coercion{Value(0), 0, false, 0.0},
                                           Coercion{Value(2.75), 2, true, 2.75},
                                           Coercion{Value(-2.75), -2, true, -2.75}, Coercion{Value(true), 1, true, 1.0},
                                           Coercion{Value(false), 0, false, 0.0}, Coercion{Value("12"), 12, true, 12.0},
                                           Coercion{Value("  -3.5x"), -3, true, -3.5},
                                           Coercion{Value("YES"), 0, true, 0.0}, Coercion{Value("true"), 0, true, 0.0},
                                           Coercion{Value("no"), 0, false, 0.0}, Coercion{Value("007"), 7, true, 7.0},
                                           Coercion{Value("0"), 0, false, 0.0}, Coercion{Value("nan"), 0, false, 0.0},
                                           Coercion{Value(""), 0, false, 0.0},
                                           Coercion{Value(Value::List{1}), 0, false, 0.0}));

TEST(Defaults, ArrayAndDictionaryReadsAnswerNoneForOtherTypes) {
    Defaults d;
    d.set("list", Value(Value::List{1, 2.5, "x"}));
    d.set("dict", Value(Value::Dict{{"a", Value(1)}}));
    ASSERT_NE(d.array("list"), nullptr);
    EXPECT_EQ(d.array("list")->size(), 3U);
    EXPECT_EQ(d.dictionary("list"), nullptr);
    ASSERT_NE(d.dictionary("dict"), nullptr);
    EXPECT_EQ(d.array("dict"), nullptr);
}

constexpr auto perms0644 = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                           std::filesystem::perms::group_read | std::filesystem::perms::others_read;

class DefaultsFile : public ::testing::Test {
protected:
    DefaultsFile() { setLogPath(dir / "Marrowick.log"); }
    ~DefaultsFile() override { setLogPath({}); }
    TempDir dir;
    std::filesystem::path file = dir / "marrowick" / "settings.json";
};

TEST_F(DefaultsFile, RoundTripKeepsTypes) {
    {
        Defaults d(file);
        d.set("int", Value(524288));
        d.set("real", Value(0.25));
        d.set("whole real", Value(1.0));
        d.set("bool", Value(true));
        d.set("text", Value("columns"));
        d.set("dict", Value(Value::Dict{{"DISPLAY", Value(Value::List{1.0 / 3, 2.0 / 3})}}));
    }
    Defaults d(file);
    EXPECT_EQ(*d.object("int"), Value(524288));
    EXPECT_EQ(*d.object("real"), Value(0.25));
    EXPECT_EQ(*d.object("bool"), Value(true));
    EXPECT_EQ(*d.object("text"), Value("columns"));
    const Value::List& list = *d.dictionary("dict")->at("DISPLAY").as<Value::List>();
    EXPECT_EQ(list[0], Value(1.0 / 3)) << "reals survive exactly";
    EXPECT_TRUE(d.object("whole real")->isNumber());
}

TEST_F(DefaultsFile, EveryChangeReachesTheFileOrTheDeferredWrite) {
    Defaults d(file);
    d.set("a", Value(1));
    EXPECT_NE(readFile(file).find("\"a\": 1"), std::string::npos) << "without a deferral, writes go out at once";

    std::vector<std::function<void()>> pending;
    d.deferWritesWith([&](std::function<void()> w) { pending.push_back(std::move(w)); });
    d.set("a", Value(2));
    d.set("b", Value(3));
    EXPECT_EQ(pending.size(), 1U) << "one write for a batch of changes";
    EXPECT_EQ(readFile(file).find("\"b\""), std::string::npos);
    pending.front()();
    EXPECT_NE(readFile(file).find("\"b\": 3"), std::string::npos);
}

TEST_F(DefaultsFile, PendingChangesAreWrittenWhenTheStoreGoes) {
    {
        Defaults d(file);
        d.deferWritesWith([](const std::function<void()>&) {});  // never runs
        d.set("quit", Value(true));
    }
    EXPECT_TRUE(Defaults(file).boolean("quit"));
}

class DefaultsBadFile : public DefaultsFile, public ::testing::WithParamInterface<std::string> {};

TEST_P(DefaultsBadFile, IsKeptAsideAndNeverOverwritten) {
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, GetParam());
    Defaults d(file);
    EXPECT_EQ(d.object("dragKeys"), nullptr) << "the store starts empty";
    d.set("dragKeys", Value(1));

    std::vector<std::filesystem::path> aside;
    for (const auto& e : std::filesystem::directory_iterator(file.parent_path())) {
        if (e.path().filename().string().starts_with("settings.json.unreadable-")) aside.push_back(e.path());
    }
    ASSERT_EQ(aside.size(), 1U);
    EXPECT_EQ(readFile(aside.front()), GetParam());
    EXPECT_NE(readFile(dir / "Marrowick.log").find("is not valid; kept as"), std::string::npos);
    EXPECT_EQ(Defaults(file).integer("dragKeys"), 1);
}

// Containers nested depth deep in an object, with a value at the bottom.
std::string nested(int depth) {
    return "{\"dividers\": " + std::string(static_cast<std::size_t>(depth - 1), '[') + "1" +
           std::string(static_cast<std::size_t>(depth - 1), ']') + "}";
}

INSTANTIATE_TEST_SUITE_P(Cases, DefaultsBadFile,
                         ::testing::Values("{\"dragKeys\": ", "[1, 2]", "\"text\"", "\x01\xff",
                                           nested(Defaults::maxDepth + 1), nested(20000),
                                           "{\"a\": \"" + std::string(Defaults::maxFileSize, 'x') + "\"}"));

TEST_F(DefaultsFile, NestingUpToTheLimitReads) {
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, nested(Defaults::maxDepth));
    Defaults d(file);
    EXPECT_NE(d.object("dividers"), nullptr);
    EXPECT_FALSE(d.loadProblem());
}

TEST_F(DefaultsFile, EveryBadFileIsKeptUnderANameOfItsOwn) {
    std::filesystem::create_directories(file.parent_path());
    for (const char* text : {"first", "second", "third"}) {
        writeFile(file, text);
        Defaults d(file);
    }
    std::set<std::string> kept;
    for (const auto& e : std::filesystem::directory_iterator(file.parent_path())) {
        if (e.path().filename().string().starts_with("settings.json.unreadable-")) kept.insert(readFile(e.path()));
    }
    EXPECT_EQ(kept, (std::set<std::string>{"first", "second", "third"}));
}

TEST_F(DefaultsFile, APipeInPlaceOfTheFileIsKeptAsideWithoutWaitingForIt) {
    std::filesystem::create_directories(file.parent_path());
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    Defaults d(file);  // returns at once: no writer ever opens the pipe
    ASSERT_TRUE(d.loadProblem());
    EXPECT_NE(d.loadProblem()->find("is not valid; kept as"), std::string::npos) << *d.loadProblem();
    d.set("a", Value(1));
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

// Something is there but reading it fails: nothing may replace it while the store lives.
class DefaultsUnreadableFile : public DefaultsFile {
protected:
    void expectLeftAlone() {
        Defaults d(file);
        EXPECT_EQ(d.object("dragKeys"), nullptr);
        d.set("dragKeys", Value(1));
        EXPECT_TRUE(d.flush());
        ASSERT_TRUE(d.loadProblem());
        EXPECT_NE(d.loadProblem()->find("cannot be read"), std::string::npos) << *d.loadProblem();
        EXPECT_NE(readFile(dir / "Marrowick.log").find("cannot be read"), std::string::npos);
        for (const auto& e : std::filesystem::directory_iterator(file.parent_path()))
            EXPECT_FALSE(e.path().filename().string().starts_with("settings.json.")) << e.path();
    }
};

TEST_F(DefaultsUnreadableFile, AnInputOutputErrorLeavesItAlone) {
    std::filesystem::create_directories(file.parent_path());
    // Reading this file fails with an input/output error, even for root.
    std::filesystem::create_symlink("/proc/self/mem", file);
    expectLeftAlone();
    EXPECT_EQ(std::filesystem::read_symlink(file), "/proc/self/mem");
}

TEST_F(DefaultsUnreadableFile, NoPermissionLeavesItAlone) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, "{\"dragKeys\": 262144}");
    std::filesystem::permissions(file, std::filesystem::perms::none);
    expectLeftAlone();
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_EQ(readFile(file), "{\"dragKeys\": 262144}");
}

TEST_F(DefaultsFile, AnUnchangedStoreNeverRewritesTheFile) {
    std::filesystem::create_directories(file.parent_path());
    const std::string text = "{\"dragKeys\":18446744073709551615,  \"gap\": 1e1}";
    writeFile(file, text);
    {
        Defaults d(file);
        d.set("gap", Value(10.0));  // what it holds already
        EXPECT_TRUE(d.flush());
    }
    EXPECT_EQ(readFile(file), text);
}

// What is on disk when this store writes: the file as it started (base), the changes made through
// the store meanwhile, and the file as another program left it just before the write (theirs).
struct Merge {
    const char* name;
    std::string base;
    std::function<void(Defaults&)> change;
    std::string theirs;
    std::string expected;
};

void PrintTo(const Merge& m, std::ostream* out) { *out << m.name; }

class DefaultsMerge : public DefaultsFile, public ::testing::WithParamInterface<Merge> {};

// Settings::setDividers's way: the whole dictionary read, one entry changed, written back.
void setEntry(Defaults& d, const std::string& key, const std::string& entry, Value value) {
    Value::Dict dict = d.dictionary(key) != nullptr ? *d.dictionary(key) : Value::Dict{};
    dict.insert_or_assign(entry, std::move(value));
    d.set(key, Value(std::move(dict)));
}

std::string compact(const std::string& text) { return nlohmann::json::parse(text).dump(); }

TEST_P(DefaultsMerge, AWriteKeepsWhatOthersWroteMeanwhile) {
    const Merge& m = GetParam();
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, m.base);
    Defaults d(file);
    std::vector<std::function<void()>> pending;
    d.deferWritesWith([&](std::function<void()> w) { pending.push_back(std::move(w)); });
    m.change(d);
    if (m.theirs.empty()) {
        std::filesystem::remove(file);
    } else {
        writeFile(file, m.theirs);
    }
    EXPECT_TRUE(d.flush());
    EXPECT_EQ(compact(readFile(file)), compact(m.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DefaultsMerge,
    ::testing::Values(Merge{"KeysAddedOutsideStay", R"({"a": 1})", [](Defaults& d) { d.set("a", Value(2)); },
                            R"({"a": 1, "unknown": [1, "x"], "displayGap": {"LEFT": 20}})",
                            R"({"a": 2, "unknown": [1, "x"], "displayGap": {"LEFT": 20}})"},
                      Merge{"ChangesOfOthersToOtherKeysStay", R"({"a": 1, "b": 1})",
                            [](Defaults& d) { d.set("a", Value(2)); }, R"({"a": 1, "b": 5})", R"({"a": 2, "b": 5})"},
                      Merge{"KeysRemovedOutsideStayRemoved", R"({"a": 1, "b": 1})",
                            [](Defaults& d) { d.set("a", Value(2)); }, R"({"a": 1})", R"({"a": 2})"},
                      Merge{"ARemovalHereIsKept", R"({"a": 1, "b": 1})", [](Defaults& d) { d.remove("b"); },
                            R"({"a": 1, "b": 1, "c": 3})", R"({"a": 1, "c": 3})"},
                      Merge{"TheSameKeyChangedOnBothSidesIsOurs", R"({"a": 1})",
                            [](Defaults& d) { d.set("a", Value(2)); }, R"({"a": 3})", R"({"a": 2})"},
                      Merge{"EntriesOfOneDictionaryMergeOneByOne", R"({"displayDividers": {"A": [0.5], "B": [0.5]}})",
                            [](Defaults& d) { setEntry(d, "displayDividers", "A", Value(Value::List{0.25})); },
                            R"({"displayDividers": {"A": [0.5], "B": [0.75], "C": [0.3]}})",
                            R"({"displayDividers": {"A": [0.25], "B": [0.75], "C": [0.3]}})"},
                      Merge{"ADictionaryNewOnBothSidesKeepsBothEntries", R"({})",
                            [](Defaults& d) { setEntry(d, "displayAxis", "A", Value("rows")); },
                            R"({"displayAxis": {"B": "columns"}})",
                            R"({"displayAxis": {"A": "rows", "B": "columns"}})"},
                      Merge{"AFileRemovedOutsideIsWrittenWhole", R"({"a": 1, "b": 1})",
                            [](Defaults& d) { d.set("a", Value(2)); }, "", R"({"a": 2, "b": 1})"},
                      Merge{"AFileMadeInvalidOutsideIsReplacedWhole", R"({"a": 1, "b": 1})",
                            [](Defaults& d) { d.set("a", Value(2)); }, "{", R"({"a": 2, "b": 1})"}),
    [](const ::testing::TestParamInfo<Merge>& param) { return std::string(param.param.name); });

TEST_F(DefaultsFile, TwoStoresOnOneFileKeepEachOthersChanges) {
    Defaults first(file);
    Defaults second(file);
    setEntry(first, "displayDividers", "LEFT", Value(Value::List{0.5}));
    setEntry(second, "displayDividers", "RIGHT", Value(Value::List{0.3}));
    setEntry(first, "displayGap", "LEFT", Value(8));
    EXPECT_EQ(Defaults(file).dictionary("displayDividers")->size(), 2U);
    EXPECT_EQ(first.dictionary("displayDividers")->size(), 2U) << "its write took in the other's display";
    EXPECT_TRUE(second.reload());
    EXPECT_EQ(second.dictionary("displayDividers")->size(), 2U);
    EXPECT_EQ(Defaults::integerOf(second.dictionary("displayGap")->at("LEFT")), 8);
}

TEST_F(DefaultsFile, ReloadTakesInOutsideChangesAndKeepsChangesNotYetWritten) {
    std::filesystem::create_directories(file.parent_path());
    writeFile(file, R"({"a": 1, "b": 1})");
    Defaults d(file);
    std::vector<std::function<void()>> pending;
    d.deferWritesWith([&](std::function<void()> w) { pending.push_back(std::move(w)); });
    EXPECT_FALSE(d.reload()) << "nothing changed";

    d.set("a", Value(2));
    writeFile(file, R"({"a": 1, "b": 7, "new": true})");
    EXPECT_TRUE(d.reload());
    EXPECT_EQ(d.integer("a"), 2) << "not yet written, still ours";
    EXPECT_EQ(d.integer("b"), 7);
    EXPECT_TRUE(d.boolean("new"));
    ASSERT_EQ(pending.size(), 1U);
    pending.front()();
    EXPECT_EQ(compact(readFile(file)), compact(R"({"a": 2, "b": 7, "new": true})"));
    EXPECT_FALSE(d.reload()) << "its own write is nothing new";

    std::filesystem::remove(file);
    EXPECT_FALSE(d.reload()) << "a file that is gone takes nothing away";
    EXPECT_EQ(d.integer("b"), 7);
}

TEST_F(DefaultsFile, AFileMadeInvalidOutsideIsKeptAsideAndTheValuesInUseWrittenBack) {
    Defaults d(file);
    d.set("a", Value(2));
    writeFile(file, "{\"a\": ");
    EXPECT_FALSE(d.reload());
    EXPECT_EQ(d.integer("a"), 2);
    EXPECT_EQ(Defaults(file).integer("a"), 2) << "written back at once without a deferral";
    std::vector<std::string> aside;
    for (const auto& e : std::filesystem::directory_iterator(file.parent_path())) {
        if (e.path().filename().string().starts_with("settings.json.unreadable-")) aside.push_back(readFile(e.path()));
    }
    EXPECT_EQ(aside, std::vector<std::string>{"{\"a\": "});
    EXPECT_NE(readFile(dir / "Marrowick.log").find("keeping the settings in use"), std::string::npos);
}

TEST_F(DefaultsFile, ALinkIsWrittenThroughToItsTarget) {
    const std::filesystem::path target = dir / "dotfiles" / "marrowick.json";
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::create_directories(file.parent_path());
    writeFile(target, "{\"a\": 1}");
    std::filesystem::permissions(target, perms0644);
    std::filesystem::create_symlink("../dotfiles/marrowick.json", file);
    {
        Defaults d(file);
        EXPECT_EQ(d.integer("a"), 1);
        d.set("a", Value(2));
    }
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(Defaults(file).integer("a"), 2);
    EXPECT_EQ(std::filesystem::status(target).permissions(), perms0644) << "the target keeps its mode";
    for (const auto& folder : {file.parent_path(), target.parent_path()}) {
        for (const auto& e : std::filesystem::directory_iterator(folder))
            EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
    }
}

TEST_F(DefaultsFile, ARewriteStaysReadable) {
    // Within the limits, but indenting every element would take it past the size limit.
    std::filesystem::create_directories(file.parent_path());
    std::string zeros = "0";
    while (zeros.size() < Defaults::maxFileSize / 2) zeros += ",0";
    writeFile(file, "{\"list\": [[[" + zeros + "]]]}");
    Defaults d(file);
    d.set("a", Value(1));
    EXPECT_LE(std::filesystem::file_size(file), Defaults::maxFileSize);
    Defaults again(file);
    EXPECT_FALSE(again.loadProblem());
    EXPECT_EQ(*again.object("list"), *d.object("list"));
}

TEST_F(DefaultsFile, AStartRemovesTemporaryFilesOfWritersThatAreGone) {
    std::filesystem::create_directories(file.parent_path());
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const auto temporary = [&](const std::string& suffix) {
        std::filesystem::path p = file;
        p += ".tmp-" + suffix;
        writeFile(p, "{");
        return p;
    };
    const auto stale = temporary(std::to_string(gone));
    const auto ours = temporary(std::to_string(::getpid()));
    const auto other = temporary("notes");
    Defaults d(file);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(ours)) << "its writer still runs";
    EXPECT_TRUE(std::filesystem::exists(other));
}

TEST_F(DefaultsFile, FailedWriteLeavesThePreviousFileWhole) {
    Defaults d(file);
    d.set("a", Value(1));
    const std::string before = readFile(file);
    // The temporary file's name is taken by a folder, so the write cannot happen.
    std::filesystem::path blocker = file;
    blocker += ".tmp-" + std::to_string(::getpid());
    std::filesystem::create_directories(blocker);
    d.set("a", Value(2));
    EXPECT_FALSE(d.flush());
    EXPECT_EQ(readFile(file), before);
    EXPECT_NE(readFile(dir / "Marrowick.log").find("settings could not be written"), std::string::npos);
}

}  // namespace
}  // namespace marrowick
