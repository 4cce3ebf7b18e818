#include "platform/qt/xdg_login_items.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string_view>

#include "base/atomic_file.h"

namespace marrowick {

namespace {

bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t more = 0;
        char32_t code = c;
        char32_t least = 0;
        if (c >= 0xF0 && c < 0xF8) {
            more = 3;
            least = 0x10000;
            code = c & 0x07U;
        } else if (c >= 0xE0 && c < 0xF0) {
            more = 2;
            least = 0x800;
            code = c & 0x0FU;
        } else if (c >= 0xC0 && c < 0xE0) {
            more = 1;
            least = 0x80;
            code = c & 0x1FU;
        } else if (c >= 0x80) {
            return false;
        }
        if (i + more >= s.size() && more > 0) return false;
        for (std::size_t k = 1; k <= more; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0U) != 0x80U) return false;
            code = (code << 6U) | (d & 0x3FU);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += more + 1;
    }
    return true;
}

// Text as a desktop-entry string value: the escapes every value has. (No value here starts with
// a space, which would need one more.)
std::string stringValue(std::string_view text) {
    std::string value;
    for (char c : text) {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            default:
                value += c;
        }
    }
    return value;
}

// Whether a desktop entry can name the program: '=' in a program's path is forbidden in Exec, and
// values are UTF-8.
bool nameable(const std::string& program) {
    return !program.empty() && program.find('=') == std::string::npos && validUtf8(program);
}

// The Exec value that starts program with no arguments. The program is quoted as a whole, with
// the four characters that stay special inside quotes escaped and '%' doubled (it would start a
// field code); then the string escapes apply on top.
std::string execValue(const std::string& program) {
    std::string quoted = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    quoted += '"';
    return stringValue(quoted);
}

// A desktop-entry string value with its escapes undone.
std::string unescapeValue(std::string_view v) {
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        switch (v[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\';
                out += v[i];
        }
    }
    return out;
}

// The program an (unescaped) Exec command line starts: its first argument with the quoting
// undone and "%%" made '%'. Nothing for a malformed line.
std::optional<std::string> execProgram(std::string_view line) {
    std::size_t i = line.find_first_not_of(' ');
    if (i == std::string_view::npos) return std::nullopt;
    std::string arg;
    if (line[i] == '"') {
        bool closed = false;
        for (++i; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"') {
                closed = true;
                ++i;
                break;
            }
            if (c == '\\' && i + 1 < line.size() &&
                std::string_view("\"`$\\").find(line[i + 1]) != std::string_view::npos) {
                ++i;
            }
            arg += line[i];
        }
        if (!closed || (i < line.size() && line[i] != ' ')) return std::nullopt;
    } else {
        arg = line.substr(i, line.find(' ', i) - i);
    }
    std::string program;
    for (std::size_t k = 0; k < arg.size(); ++k) {
        program += arg[k];
        if (arg[k] == '%' && k + 1 < arg.size() && arg[k + 1] == '%') ++k;
    }
    return program;
}

// The keys of the [Desktop Entry] group, values unescaped; localised keys are left out.
std::map<std::string, std::string> desktopEntryKeys(std::istream& in) {
    std::map<std::string, std::string> keys;
    bool inGroup = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inGroup || eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        while (!key.empty() && key.back() == ' ') key.pop_back();
        const std::size_t start = line.find_first_not_of(' ', eq + 1);
        if (key.find('[') != std::string::npos) continue;
        keys.try_emplace(key, unescapeValue(start == std::string::npos ? "" : std::string_view(line).substr(start)));
    }
    return keys;
}

// A program named without a folder is looked up in PATH, as the session's launcher does.
std::filesystem::path resolveProgram(const std::string& program) {
    if (program.find('/') != std::string::npos) return program;
    const char* path = std::getenv("PATH");
    std::string_view dirs = path != nullptr ? path : "";
    while (!dirs.empty()) {
        const std::size_t colon = dirs.find(':');
        const std::string_view dir = dirs.substr(0, colon);
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
        if (dir.empty()) continue;
        std::filesystem::path candidate = std::filesystem::path(dir) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (a.empty() || b.empty()) return false;
    if (a.lexically_normal() == b.lexically_normal()) return true;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

bool isTrue(const std::map<std::string, std::string>& keys, const std::string& key) {
    auto it = keys.find(key);
    return it != keys.end() && (it->second == "true" || it->second == "1");
}

bool isFalse(const std::map<std::string, std::string>& keys, const std::string& key) {
    auto it = keys.find(key);
    return it != keys.end() && (it->second == "false" || it->second == "0");
}

}  // namespace

XdgLoginItems::XdgLoginItems(const std::filesystem::path& autostartDir, std::string applicationId,
                             std::filesystem::path binary)
    : entry_(autostartDir / (applicationId + ".desktop")),
      applicationId_(std::move(applicationId)),
      binary_(std::move(binary)) {}

std::filesystem::path XdgLoginItems::defaultAutostartDir() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (config != nullptr && *config == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home != nullptr ? home : "/") / ".config";
    }
    return base / "autostart";
}

std::filesystem::path XdgLoginItems::binaryToStart(const std::filesystem::path& running,
                                                   const std::filesystem::path& installed) {
    // Unknown stays unknown: naming the installed binary instead would start one that may not
    // be there.
    if (running.empty()) return {};
    if (sameFile(running, installed)) return installed;
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(running, ec);
    return ec ? running : absolute.lexically_normal();
}

int XdgLoginItems::status() const {
    std::ifstream in(entry_);
    if (!in) return 0;
    const auto keys = desktopEntryKeys(in);
    // Hidden=true means the entry is deleted for XDG autostart; GNOME and its descendants have
    // their own switch besides.
    if (isTrue(keys, "Hidden") || isFalse(keys, "X-GNOME-Autostart-enabled")) return 0;
    auto exec = keys.find("Exec");
    if (exec == keys.end()) return 0;
    const auto program = execProgram(exec->second);
    return program && sameFile(resolveProgram(*program), binary_) ? enabled : 0;
}

std::optional<std::string> XdgLoginItems::registerItem() {
    if (binary_.empty()) return "the running binary's path is not known, so no autostart entry can start it";
    if (!nameable(binary_.string()))
        return "an autostart entry cannot start " + binary_.string() + " (its path has '=' or is not UTF-8)";
    std::error_code ec;
    std::filesystem::create_directories(entry_.parent_path(), ec);
    if (ec) return "cannot create " + entry_.parent_path().string() + ": " + ec.message();
    std::ostringstream text;
    text << "[Desktop Entry]\n"
         << "Type=Application\n"
         << "Name=Marrowick\n"
         << "Comment=Snap windows into sections of a monitor\n"
         << "Icon=" << applicationId_ << '\n'
         << "Exec=" << execValue(binary_.string())
         << '\n'
         // A session skips the entry once the binary is gone (the package removed).
         << "TryExec=" << stringValue(binary_.string()) << '\n'
         << "Terminal=false\n"
         << "X-GNOME-Autostart-enabled=true\n";
    if (!replaceFile(entry_, text.str(), true, 0644)) {
        return "cannot write " + entry_.string() + ": " + std::strerror(errno);
    }
    return std::nullopt;
}

std::optional<std::string> XdgLoginItems::unregisterItem() {
    std::error_code ec;
    std::filesystem::remove(entry_, ec);
    if (ec) return "cannot remove " + entry_.string() + ": " + ec.message();
    return std::nullopt;
}

}  // namespace marrowick
