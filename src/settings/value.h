#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace marrowick {

// A stored value: what a JSON settings file can hold.
struct Value {
    using List = std::vector<Value>;
    using Dict = std::map<std::string, Value, std::less<>>;
    using Storage = std::variant<std::monostate, bool, std::int64_t, double, std::string, List, Dict>;

    Storage v;

    Value() = default;
    Value(bool b) : v(b) {}                            // NOLINT(google-explicit-constructor)
    Value(int i) : v(static_cast<std::int64_t>(i)) {}  // NOLINT(google-explicit-constructor)
    Value(std::int64_t i) : v(i) {}                    // NOLINT(google-explicit-constructor)
    Value(double d) : v(d) {}                          // NOLINT(google-explicit-constructor)
    Value(const char* s) : v(std::string(s)) {}        // NOLINT(google-explicit-constructor)
    Value(std::string s) : v(std::move(s)) {}          // NOLINT(google-explicit-constructor)
    Value(List l) : v(std::move(l)) {}                 // NOLINT(google-explicit-constructor)
    Value(Dict d) : v(std::move(d)) {}                 // NOLINT(google-explicit-constructor)

    [[nodiscard]] bool isNone() const { return std::holds_alternative<std::monostate>(v); }
    [[nodiscard]] bool isNumber() const {
        return std::holds_alternative<std::int64_t>(v) || std::holds_alternative<double>(v);
    }
    // Only for a number; callers check isNumber first.
    [[nodiscard]] double number() const {
        if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
        return std::get<double>(v);
    }
    template <class T>
    [[nodiscard]] const T* as() const {
        return std::get_if<T>(&v);
    }

    bool operator==(const Value&) const = default;
};

}  // namespace marrowick
