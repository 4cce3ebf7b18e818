#include "platform/qt/xdg_login_items.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace marrowick {
namespace {

namespace fs = std::filesystem;

constexpr const char* appId = "app.example.Marrowick";

// The line of the entry that sets key, whole; empty when there is none.
std::string line(const std::string& entryText, const std::string& key) {
    const std::size_t at = entryText.find("\n" + key + "=");
    if (at == std::string::npos) return {};
    return entryText.substr(at + 1, entryText.find('\n', at + 1) - at - 1);
}
std::string execLine(const std::string& entryText) { return line(entryText, "Exec"); }

// What desktop-file-validate says about the file; empty when it finds nothing wrong.
std::string validatorComplaints(const fs::path& file) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (tool.isEmpty()) return "desktop-file-validate is not installed (scripts/deps installs it)";
    QProcess p;
    p.start(tool, {QString::fromStdString(file.string())});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
    if (p.exitCode() != 0 || !out.isEmpty())
        return out.isEmpty() ? "exit code " + std::to_string(p.exitCode()) : out.toStdString();
    return {};
}

bool leftoverFiles(const fs::path& dir, const fs::path& except) {
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path() != except) return true;
    }
    return false;
}

TEST(XdgLoginItems, RegisterWritesTheEntryUnderTheApplicationIdAndUnregisterRemovesIt) {
    test::TempDir dir;
    XdgLoginItems items(dir / "autostart", appId, "/usr/bin/marrowick");
    EXPECT_EQ(items.entry(), dir / "autostart" / "app.example.Marrowick.desktop");
    EXPECT_EQ(items.status(), 0);

    ASSERT_EQ(items.registerItem(), std::nullopt);
    EXPECT_EQ(items.status(), LoginItems::enabled);
    const std::string text = test::readFile(items.entry());
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0U) << text;
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=app.example.Marrowick\n"), std::string::npos);
    EXPECT_EQ(execLine(text), "Exec=\"/usr/bin/marrowick\"");
    EXPECT_EQ(line(text, "TryExec"), "TryExec=/usr/bin/marrowick") << "skipped once the binary is gone";
    EXPECT_EQ(validatorComplaints(items.entry()), "");
    EXPECT_FALSE(leftoverFiles(dir / "autostart", items.entry()));
    struct stat st {};
    ASSERT_EQ(::stat(items.entry().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644U);

    EXPECT_EQ(items.unregisterItem(), std::nullopt);
    EXPECT_FALSE(fs::exists(items.entry()));
    EXPECT_EQ(items.status(), 0);
    EXPECT_EQ(items.unregisterItem(), std::nullopt) << "nothing to remove is no failure";
}

// Paths with the characters the Exec key reserves: each is quoted, escaped by the Desktop Entry
// rules, reads back as ours, and passes the reference validator. TryExec holds the path itself,
// with the escapes of any value.
TEST(XdgLoginItems, ExecQuotesEveryReservedCharacter) {
    struct Case {
        std::string binary;
        std::string exec;     // as it stands in the file
        std::string tryExec;  // the same
    };
    const Case cases[] = {
        {"/opt/My Apps/marrowick", R"(Exec="/opt/My Apps/marrowick")", "TryExec=/opt/My Apps/marrowick"},
        {"/opt/it's \"here\"/marrowick", R"(Exec="/opt/it's \\"here\\"/marrowick")",
         R"(TryExec=/opt/it's "here"/marrowick)"},
        {"/opt/$HOME/`x`/marrowick", R"(Exec="/opt/\\$HOME/\\`x\\`/marrowick")", "TryExec=/opt/$HOME/`x`/marrowick"},
        {"/opt/back\\slash/marrowick", R"(Exec="/opt/back\\\\slash/marrowick")",
         R"(TryExec=/opt/back\\slash/marrowick)"},
        {"/opt/100%/%u/marrowick", R"(Exec="/opt/100%%/%%u/marrowick")", "TryExec=/opt/100%/%u/marrowick"},
        {"/opt/a;b&c|d<e>f*g?h#i(j)~k/marrowick", R"(Exec="/opt/a;b&c|d<e>f*g?h#i(j)~k/marrowick")",
         "TryExec=/opt/a;b&c|d<e>f*g?h#i(j)~k/marrowick"},
        {"/opt/tab\there/marrowick", R"(Exec="/opt/tab\there/marrowick")", R"(TryExec=/opt/tab\there/marrowick)"},
        {"/opt/two\nlines/marrowick", R"(Exec="/opt/two\nlines/marrowick")", R"(TryExec=/opt/two\nlines/marrowick)"},
        {"/opt/Ünïcode/marrowick", "Exec=\"/opt/Ünïcode/marrowick\"", "TryExec=/opt/Ünïcode/marrowick"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.binary);
        test::TempDir dir;
        XdgLoginItems items(dir.path(), appId, c.binary);
        ASSERT_EQ(items.registerItem(), std::nullopt);
        EXPECT_EQ(execLine(test::readFile(items.entry())), c.exec);
        EXPECT_EQ(line(test::readFile(items.entry()), "TryExec"), c.tryExec);
        EXPECT_EQ(items.status(), LoginItems::enabled);
        EXPECT_EQ(validatorComplaints(items.entry()), "");
    }
}

TEST(XdgLoginItems, RegisterRefusesPathsNoExecCanName) {
    // Desktop entries forbid '=' in the program's path, and are UTF-8.
    for (const std::string binary : {"/opt/a=b/marrowick", "/opt/\xff\xfe/marrowick"}) {
        test::TempDir dir;
        XdgLoginItems items(dir.path(), appId, binary);
        const auto error = items.registerItem();
        ASSERT_TRUE(error.has_value());
        EXPECT_NE(error->find("cannot start"), std::string::npos) << *error;
        EXPECT_FALSE(fs::exists(items.entry()));
    }
}

// The status is read from what the file says, whoever wrote it.
TEST(XdgLoginItems, StatusIsEnabledOnlyForAnActiveEntryThatStartsOurBinary) {
    struct Case {
        const char* what;
        std::string text;
        int status;
    };
    const std::string head = "[Desktop Entry]\nType=Application\nName=Marrowick\n";
    const Case cases[] = {
        {"ours", head + "Exec=\"/usr/bin/marrowick\"\n", LoginItems::enabled},
        {"unquoted, with an argument", head + "Exec=/usr/bin/marrowick --no-prompt\n", LoginItems::enabled},
        {"spaces around '=', CRLF lines", "[Desktop Entry]\r\nExec = /usr/bin/marrowick\r\n", LoginItems::enabled},
        {"hidden, which XDG autostart treats as deleted", head + "Exec=/usr/bin/marrowick\nHidden=true\n", 0},
        {"switched off by GNOME", head + "Exec=/usr/bin/marrowick\nX-GNOME-Autostart-enabled=false\n", 0},
        {"another program", head + "Exec=/usr/bin/marrowick-old\n", 0},
        {"our path as an argument only", head + "Exec=/usr/bin/env /usr/bin/marrowick\n", 0},
        {"no Exec", head, 0},
        {"Exec in another group", head + "[Desktop Action x]\nExec=/usr/bin/marrowick\n", 0},
        {"unterminated quote", head + "Exec=\"/usr/bin/marrowick\n", 0},
        {"empty file", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        XdgLoginItems items(dir.path(), appId, "/usr/bin/marrowick");
        test::writeFile(items.entry(), c.text);
        EXPECT_EQ(items.status(), c.status);
    }
}

// GNOME's start-up applications copy the installed desktop entry, whose Exec names the program
// without a folder: that starts us when PATH leads to our binary.
TEST(XdgLoginItems, StatusFollowsPathForAProgramNamedWithoutFolder) {
    test::TempDir dir;
    fs::create_directories(dir / "bin");
    const fs::path binary = dir / "bin" / "marrowick";
    test::writeFile(binary, "#!/bin/sh\n");
    fs::permissions(binary, fs::perms::owner_all);
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath != nullptr ? oldPath : "";
    ::setenv("PATH", ("/nonexistent:" + (dir / "bin").string()).c_str(), 1);

    XdgLoginItems items(dir.path(), appId, binary);
    test::writeFile(items.entry(), "[Desktop Entry]\nType=Application\nExec=marrowick\n");
    EXPECT_EQ(items.status(), LoginItems::enabled);
    XdgLoginItems other(dir.path(), appId, "/usr/bin/marrowick");
    EXPECT_EQ(other.status(), 0);

    ::setenv("PATH", savedPath.c_str(), 1);
}

TEST(XdgLoginItems, RegisterReplacesAHiddenEntryWhole) {
    test::TempDir dir;
    XdgLoginItems items(dir.path(), appId, "/usr/bin/marrowick");
    test::writeFile(items.entry(), "[Desktop Entry]\nType=Application\nExec=/usr/bin/marrowick\nHidden=true\n");
    ASSERT_EQ(items.status(), 0);
    ASSERT_EQ(items.registerItem(), std::nullopt);
    EXPECT_EQ(items.status(), LoginItems::enabled);
    EXPECT_EQ(test::readFile(items.entry()).find("Hidden"), std::string::npos);
}

// Failures are reported, leave what was there, and leave no temporary file (checked with
// obstacles that hold for root too, since CI runs as root).
TEST(XdgLoginItems, FailuresAreReportedAndLeaveNoTrace) {
    test::TempDir dir;
    test::writeFile(dir / "autostart", "a file where the folder should be");
    XdgLoginItems noFolder(dir / "autostart", appId, "/usr/bin/marrowick");
    const auto folderError = noFolder.registerItem();
    ASSERT_TRUE(folderError.has_value());
    EXPECT_NE(folderError->find("cannot create"), std::string::npos) << *folderError;
    EXPECT_EQ(noFolder.status(), 0);

    XdgLoginItems blocked(dir.path(), appId, "/usr/bin/marrowick");
    fs::create_directories(blocked.entry() / "inside");  // a folder in the entry's place
    const auto writeError = blocked.registerItem();
    ASSERT_TRUE(writeError.has_value());
    EXPECT_NE(writeError->find("cannot write"), std::string::npos) << *writeError;
    EXPECT_TRUE(fs::is_directory(blocked.entry() / "inside"));
    for (const auto& e : fs::directory_iterator(dir.path())) {
        EXPECT_TRUE(e.path() == dir / "autostart" || e.path() == blocked.entry()) << "left behind: " << e.path();
    }
    const auto removeError = blocked.unregisterItem();
    ASSERT_TRUE(removeError.has_value());
    EXPECT_NE(removeError->find("cannot remove"), std::string::npos) << *removeError;
}

TEST(XdgLoginItems, EntryStartsTheInstalledBinaryWhenThatIsTheOneRunning) {
    test::TempDir dir;
    fs::create_directories(dir / "usr" / "bin");
    const fs::path installed = dir / "usr" / "bin" / "marrowick";
    test::writeFile(installed, "binary");
    fs::create_directory_symlink(dir / "usr" / "bin", dir / "bin");  // as /bin on a merged-/usr system

    EXPECT_EQ(XdgLoginItems::binaryToStart(installed, installed), installed);
    EXPECT_EQ(XdgLoginItems::binaryToStart(dir / "bin" / "marrowick", installed), installed);
    EXPECT_EQ(XdgLoginItems::binaryToStart(dir / "usr" / "bin" / ".." / "bin" / "marrowick", installed), installed);
    // Not knowing which binary runs is no reason to name the installed one, which may be absent.
    EXPECT_EQ(XdgLoginItems::binaryToStart("", installed), "");
    XdgLoginItems unknown(dir / "autostart", appId, XdgLoginItems::binaryToStart("", installed));
    const auto refused = unknown.registerItem();
    ASSERT_TRUE(refused.has_value());
    EXPECT_NE(refused->find("not known"), std::string::npos) << *refused;
    EXPECT_FALSE(fs::exists(unknown.entry()));

    const fs::path built = dir / "build" / "src" / "app" / "marrowick";
    EXPECT_EQ(XdgLoginItems::binaryToStart(built, installed), built);
    EXPECT_EQ(XdgLoginItems::binaryToStart(built, "/nonexistent/bin/marrowick"), built);
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.path());
    EXPECT_EQ(XdgLoginItems::binaryToStart("build/./src/app/marrowick", installed), built);
    fs::current_path(cwd);
}

}  // namespace
}  // namespace marrowick
