#include "platform/defaults.h"

#include <gtest/gtest.h>

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

INSTANTIATE_TEST_SUITE_P(Cases, DefaultsBadFile,
                         ::testing::Values("{\"dragKeys\": ", "[1, 2]", "\"text\"", "\x01\xff"));

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
