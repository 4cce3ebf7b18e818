#include "settings/defaults.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>

#include "base/atomic_file.h"
#include "base/log.h"
#include "base/utc_time.h"

namespace marrowick {

namespace {

using nlohmann::json;

Value fromJson(const json& j) {
    switch (j.type()) {
        case json::value_t::boolean:
            return Value(j.get<bool>());
        case json::value_t::number_integer:
            return Value(j.get<std::int64_t>());
        case json::value_t::number_unsigned: {
            auto u = j.get<std::uint64_t>();
            if (u <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
                return Value(static_cast<std::int64_t>(u));
            return Value(static_cast<double>(u));
        }
        case json::value_t::number_float:
            return Value(j.get<double>());
        case json::value_t::string:
            return Value(j.get<std::string>());
        case json::value_t::array: {
            Value::List list;
            list.reserve(j.size());
            for (const auto& e : j) list.push_back(fromJson(e));
            return Value(std::move(list));
        }
        case json::value_t::object: {
            Value::Dict dict;
            for (const auto& [k, e] : j.items()) dict.emplace(k, fromJson(e));
            return Value(std::move(dict));
        }
        default:
            return {};
    }
}

json toJson(const Value& v) {
    return std::visit(
        [](const auto& x) -> json {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::int64_t> || std::is_same_v<T, double> ||
                          std::is_same_v<T, std::string>) {
                return json(x);
            } else if constexpr (std::is_same_v<T, Value::List>) {
                json a = json::array();
                for (const auto& e : x) a.push_back(toJson(e));
                return a;
            } else if constexpr (std::is_same_v<T, Value::Dict>) {
                json o = json::object();
                for (const auto& [k, e] : x) o[k] = toJson(e);
                return o;
            } else {
                return nullptr;
            }
        },
        v.v);
}

// Leading white space, an optional sign, then digits: the prefix that reads as a number.
std::int64_t integerOfText(const std::string& s) {
    const char* p = s.c_str();
    while (std::isspace(static_cast<unsigned char>(*p)) != 0) ++p;
    errno = 0;
    char* end = nullptr;
    long long n = std::strtoll(p, &end, 10);
    if (end == p) return 0;
    return n;
}

double realOfText(const std::string& s) {
    const char* p = s.c_str();
    while (std::isspace(static_cast<unsigned char>(*p)) != 0) ++p;
    // Only plain decimal notation counts; "nan", "inf" and hexadecimal read as 0.
    if (!(std::isdigit(static_cast<unsigned char>(*p)) != 0 || *p == '+' || *p == '-' || *p == '.')) return 0;
    if ((p[0] == '+' || p[0] == '-') && std::isdigit(static_cast<unsigned char>(p[1])) == 0 && p[1] != '.') return 0;
    char* end = nullptr;
    double d = std::strtod(p, &end);
    if (end == p || !std::isfinite(d)) return 0;
    return d;
}

// A text is true when, after white space, a sign and leading zeros, it starts with Y, y, T, t or
// a digit 1 to 9.
bool boolOfText(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])) != 0) ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    while (i < s.size() && s[i] == '0') ++i;
    if (i >= s.size()) return false;
    char c = s[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

// The settings file's content, read without blocking and without trusting its size.
struct FileText {
    enum Kind { missing, read, notAFile, failed } kind;
    std::string text;  // the content, or for failed why
};

FileText readSettings(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return {FileText::missing, {}};
        return {FileText::failed, std::strerror(errno)};
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return {FileText::failed, std::strerror(error)};
    }
    // A folder, a pipe or a device is no settings file (and reading one may never end).
    if (!S_ISREG(st.st_mode) || st.st_size > static_cast<off_t>(Defaults::maxFileSize)) {
        ::close(fd);
        return {FileText::notAFile, {}};
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return {FileText::failed, std::strerror(error)};
        }
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > Defaults::maxFileSize) {
            ::close(fd);
            return {FileText::notAFile, {}};
        }
    }
    ::close(fd);
    return {FileText::read, std::move(text)};
}

// The top-level object's values; none for anything else, nesting deeper than maxDepth included
// (converting that would take unbounded stack, and rewriting it unbounded room).
std::optional<Value::Dict> parseSettings(const std::string& text) {
    bool tooDeep = false;
    const json::parser_callback_t limit = [&tooDeep](int depth, json::parse_event_t event, json& /*parsed*/) {
        if ((event == json::parse_event_t::object_start || event == json::parse_event_t::array_start) &&
            depth >= Defaults::maxDepth) {
            tooDeep = true;
            return false;  // dropped; the parser goes on without building it
        }
        return true;
    };
    json j = json::parse(text, limit, false);
    if (tooDeep || j.is_discarded() || !j.is_object()) return std::nullopt;
    Value::Dict values;
    for (const auto& [k, e] : j.items()) values.emplace(k, fromJson(e));
    return values;
}

// Where a write to path lands: the end of its chain of links, if it is one.
std::filesystem::path linkTarget(std::filesystem::path path) {
    std::error_code ec;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(path, ec); ++hops) {
        const std::filesystem::path to = std::filesystem::read_symlink(path, ec);
        if (ec) break;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return path;
}

// Temporary files of a write that never finished: named for the file and the writer's process,
// removed once that process is gone.
void removeStaleTemporaries(const std::filesystem::path& file) {
    const std::string prefix = file.filename().string() + ".tmp-";
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(file.parent_path(), ec)) {
        const std::string name = e.path().filename().string();
        if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() - prefix.size() > 9) continue;
        const std::string digits = name.substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
        const auto pid = static_cast<pid_t>(std::stol(digits));
        struct stat st {};
        if (::lstat(e.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
        if (pid <= 0 || pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
        std::error_code ignored;
        std::filesystem::remove(e.path(), ignored);
    }
}

// Renames path to a name of its own beside it, never over an earlier kept file.
std::filesystem::path keepAside(const std::filesystem::path& path, std::error_code& ec) {
    const std::string base = path.string() + ".unreadable-" + utcText("%Y%m%d-%H%M%S");
    for (int n = 1; n <= 1000; ++n) {
        std::filesystem::path aside = n == 1 ? base : base + "-" + std::to_string(n);
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            ec.clear();
            return aside;
        }
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) {
            ec.assign(errno, std::generic_category());
            return {};
        }
        // A file system without the no-replace rename: check, then rename.
        if (std::filesystem::symlink_status(aside, ec).type() != std::filesystem::file_type::not_found) continue;
        std::filesystem::rename(path, aside, ec);
        return ec ? std::filesystem::path{} : aside;
    }
    ec = std::make_error_code(std::errc::file_exists);
    return {};
}

// The file as another writer left it (theirs), with what this store changed since it last read or
// wrote it (from base to ours): keys set or removed here win, every other key is theirs.
// Dictionaries merge entry by entry, so two instances changing different displays keep both.
Value::Dict merged(const Value::Dict& base, const Value::Dict& ours, const Value::Dict& theirs) {
    Value::Dict result = theirs;
    const auto apply = [&](const std::string& key) {
        const auto b = base.find(key);
        const auto o = ours.find(key);
        const Value* was = b != base.end() ? &b->second : nullptr;
        const Value* now = o != ours.end() ? &o->second : nullptr;
        if (was == nullptr ? now == nullptr : now != nullptr && *was == *now) return;  // not changed here
        if (now == nullptr) {
            result.erase(key);
            return;
        }
        const auto t = theirs.find(key);
        const auto* ourDict = now->as<Value::Dict>();
        const auto* theirDict = t != theirs.end() ? t->second.as<Value::Dict>() : nullptr;
        const auto* baseDict = was != nullptr ? was->as<Value::Dict>() : nullptr;
        if (ourDict != nullptr && theirDict != nullptr && (was == nullptr || baseDict != nullptr)) {
            result.insert_or_assign(
                key, Value(merged(baseDict != nullptr ? *baseDict : Value::Dict{}, *ourDict, *theirDict)));
            return;
        }
        result.insert_or_assign(key, *now);
    };
    for (const auto& [key, value] : base) apply(key);
    for (const auto& [key, value] : ours) {
        if (!base.contains(key)) apply(key);
    }
    return result;
}

// An exclusive hold on a folder among the writers that take it, for at most about a second: a
// writer that is stuck does not stop this one for good.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ < 0) return;
        for (int tries = 0; tries < 100; ++tries) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return;
            ::usleep(10000);
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

}  // namespace

std::int64_t Defaults::integerOf(const Value& v) {
    if (const auto* i = v.as<std::int64_t>()) return *i;
    if (const auto* d = v.as<double>()) {
        if (!std::isfinite(*d)) return 0;
        if (*d >= 9.2e18 || *d <= -9.2e18) return 0;
        return static_cast<std::int64_t>(*d);
    }
    if (const auto* b = v.as<bool>()) return *b ? 1 : 0;
    if (const auto* s = v.as<std::string>()) return integerOfText(*s);
    return 0;
}

bool Defaults::boolOf(const Value& v) {
    if (const auto* b = v.as<bool>()) return *b;
    if (const auto* i = v.as<std::int64_t>()) return *i != 0;
    if (const auto* d = v.as<double>()) return *d != 0;
    if (const auto* s = v.as<std::string>()) return boolOfText(*s);
    return false;
}

double Defaults::realOf(const Value& v) {
    if (v.isNumber()) return v.number();
    if (const auto* b = v.as<bool>()) return *b ? 1.0 : 0.0;
    if (const auto* s = v.as<std::string>()) return realOfText(*s);
    return 0;
}

Defaults::Defaults(std::filesystem::path file) : file_(std::move(file)) {
    removeStaleTemporaries(*file_);
    if (const auto target = linkTarget(*file_); target != *file_) removeStaleTemporaries(target);
    load();
}

Defaults::~Defaults() {
    try {
        if (dirty_) flush();
    } catch (...) {  // NOLINT(bugprone-empty-catch): out of memory at exit; nothing is left to tell
    }
}

void Defaults::load() {
    FileText content = readSettings(*file_);
    switch (content.kind) {
        case FileText::missing:
            return;  // no file yet: an empty store
        case FileText::failed:
            // What is there may be the user's settings: start with defaults and never replace it.
            loadProblem_ = "settings file " + file_->string() + " cannot be read (" + content.text +
                           "); starting with defaults and leaving it untouched";
            file_.reset();
            note(*loadProblem_);
            return;
        case FileText::notAFile:
            break;
        case FileText::read:
            if (auto values = parseSettings(content.text)) {
                persisted_ = *values;
                base_ = std::move(*values);
                return;
            }
            break;
    }
    loadProblem_ = setAside("starting with defaults");
}

std::string Defaults::setAside(std::string_view going) {
    // Keep the unusable file beside the new one so nothing the user had is lost silently.
    std::error_code ec;
    const std::filesystem::path aside = keepAside(*file_, ec);
    std::string problem;
    if (ec) {
        problem = "settings file " + file_->string() + " is not valid and could not be kept aside (" + ec.message() +
                  "); " + std::string(going) + " and leaving it untouched";
        file_.reset();  // never overwrite what could not be kept
    } else {
        problem =
            "settings file " + file_->string() + " is not valid; kept as " + aside.string() + ", " + std::string(going);
    }
    note(problem);
    return problem;
}

bool Defaults::reload() {
    if (!file_) return false;
    FileText content = readSettings(*file_);
    switch (content.kind) {
        case FileText::missing:
            return false;  // nothing to take in; the next write puts the file back
        case FileText::failed:
            note("settings file " + file_->string() + " cannot be read (" + content.text +
                 "); keeping the settings in use");
            return false;
        case FileText::notAFile:
            break;
        case FileText::read:
            if (auto theirs = parseSettings(content.text)) {
                if (*theirs == base_) return false;  // our own write, or nothing new
                Value::Dict next = merged(base_, persisted_, *theirs);
                base_ = std::move(*theirs);
                if (next == persisted_) return false;
                persisted_ = std::move(next);
                return true;
            }
            break;
    }
    setAside("keeping the settings in use");
    // What is held goes back to disk in full.
    base_.clear();
    changed();
    return false;
}

void Defaults::registerDefaults(const Value::Dict& values) {
    for (const auto& [k, v] : values) registered_.insert_or_assign(k, v);
}

const Value* Defaults::object(std::string_view key) const {
    if (auto it = persisted_.find(key); it != persisted_.end()) return &it->second;
    if (auto it = registered_.find(key); it != registered_.end()) return &it->second;
    return nullptr;
}

std::int64_t Defaults::integer(std::string_view key) const {
    const Value* v = object(key);
    return v != nullptr ? integerOf(*v) : 0;
}

bool Defaults::boolean(std::string_view key) const {
    const Value* v = object(key);
    return v != nullptr && boolOf(*v);
}

double Defaults::real(std::string_view key) const {
    const Value* v = object(key);
    return v != nullptr ? realOf(*v) : 0;
}

const Value::List* Defaults::array(std::string_view key) const {
    const Value* v = object(key);
    return v != nullptr ? v->as<Value::List>() : nullptr;
}

const Value::Dict* Defaults::dictionary(std::string_view key) const {
    const Value* v = object(key);
    return v != nullptr ? v->as<Value::Dict>() : nullptr;
}

void Defaults::set(std::string_view key, Value value) {
    if (auto it = persisted_.find(key); it != persisted_.end() && it->second == value) return;
    persisted_.insert_or_assign(std::string(key), std::move(value));
    changed();
}

void Defaults::remove(std::string_view key) {
    if (auto it = persisted_.find(key); it != persisted_.end()) {
        persisted_.erase(it);
        changed();
    }
}

void Defaults::deferWritesWith(std::function<void(std::function<void()>)> defer) { defer_ = std::move(defer); }

void Defaults::changed() {
    if (!file_) return;
    dirty_ = true;
    if (!defer_) {
        flush();
        return;
    }
    if (writePending_) return;
    writePending_ = true;
    defer_([this] {
        writePending_ = false;
        flush();
    });
}

bool Defaults::flush() {
    if (!file_ || !dirty_) return true;
    const std::filesystem::path target = linkTarget(*file_);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    // Another instance merging into the same file at the same moment would undo this one's merge.
    const FolderLock lock(target.parent_path());

    Value::Dict next = persisted_;
    FileText content = readSettings(*file_);
    switch (content.kind) {
        case FileText::missing:
            break;
        case FileText::failed:
            note("settings could not be written to " + file_->string() + ": it cannot be read (" + content.text + ")");
            return false;
        case FileText::notAFile:
            setAside("writing the settings in use");
            if (!file_) return false;
            break;
        case FileText::read:
            if (auto theirs = parseSettings(content.text)) {
                next = merged(base_, persisted_, *theirs);
                // Unchanged settings are left as they are on disk: a link stays a link, numbers
                // keep their form.
                if (next == *theirs) {
                    persisted_ = std::move(next);
                    base_ = std::move(*theirs);
                    dirty_ = false;
                    return true;
                }
            } else {
                setAside("writing the settings in use");
                if (!file_) return false;
            }
            break;
    }

    json j = json::object();
    for (const auto& [k, v] : next) j[k] = toJson(v);
    // Texts that are not UTF-8 (a display's name, say) are written with replacement characters
    // rather than failing the whole write. Indented while that keeps the file readable again.
    std::string text = j.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
    if (text.size() > maxFileSize) text = j.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
    if (text.size() > maxFileSize) {
        note("settings could not be written to " + file_->string() + ": larger than " + std::to_string(maxFileSize) +
             " bytes");
        return false;
    }
    // Through a link to its target, replaced in the target's own folder.
    if (!replaceFile(target, text, true, 0600)) {
        note("settings could not be written to " + file_->string());
        return false;
    }
    persisted_ = next;
    base_ = std::move(next);
    dirty_ = false;
    return true;
}

}  // namespace marrowick
