#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "base/rect.h"

namespace marrowick {

// An opaque handle on a user-interface object of another process. The backend decides what
// the id means; handles compare by id and are plain values, so any thread may hold one.
struct Element {
    std::uint64_t id = 0;
    bool operator==(const Element&) const = default;
};

// The common currency of the settings store and the Accessibility service.
struct Value {
    using List = std::vector<Value>;
    using Dict = std::map<std::string, Value, std::less<>>;
    using Storage =
        std::variant<std::monostate, bool, std::int64_t, double, std::string, List, Dict, Point, Size, Element>;

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
    Value(Point p) : v(p) {}                           // NOLINT(google-explicit-constructor)
    Value(Size s) : v(s) {}                            // NOLINT(google-explicit-constructor)
    Value(Element e) : v(e) {}                         // NOLINT(google-explicit-constructor)

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
