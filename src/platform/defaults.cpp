#include "platform/defaults.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

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
                return nullptr;  // not a storable type
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

Defaults::Defaults(std::filesystem::path file) : file_(std::move(file)) { load(); }

Defaults::~Defaults() {
    try {
        if (dirty_) flush();
    } catch (...) {  // NOLINT(bugprone-empty-catch): out of memory at exit; nothing is left to tell
    }
}

void Defaults::load() {
    std::ifstream in(*file_, std::ios::binary);
    if (!in) return;  // no file yet: an empty store
    std::stringstream text;
    text << in.rdbuf();
    json j = json::parse(text.str(), nullptr, false);
    if (!j.is_discarded() && j.is_object()) {
        for (const auto& [k, e] : j.items()) persisted_.emplace(k, fromJson(e));
        return;
    }
    // Keep the unreadable file beside the new one so nothing the user had is lost silently.
    std::filesystem::path aside = *file_;
    aside += ".unreadable-" + utcText("%Y%m%d-%H%M%S");
    std::error_code ec;
    std::filesystem::rename(*file_, aside, ec);
    if (ec) {
        loadProblem_ = "settings file " + file_->string() + " is not valid and could not be kept aside (" +
                       ec.message() + "); starting with defaults and leaving it untouched";
        file_.reset();  // never overwrite what could not be kept
    } else {
        loadProblem_ = "settings file " + file_->string() + " is not valid; kept as " + aside.string() +
                       ", starting with defaults";
    }
    note(*loadProblem_);
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
    if (!file_) return true;
    json j = json::object();
    for (const auto& [k, v] : persisted_) j[k] = toJson(v);
    // Texts that are not UTF-8 (a display's name, say) are written with replacement characters
    // rather than failing the whole write.
    const std::string text = j.dump(2, ' ', false, json::error_handler_t::replace) + "\n";

    std::error_code ec;
    std::filesystem::create_directories(file_->parent_path(), ec);
    if (!replaceFile(*file_, text, true, 0600)) {
        note("settings could not be written to " + file_->string());
        return false;
    }
    dirty_ = false;
    return true;
}

}  // namespace marrowick
