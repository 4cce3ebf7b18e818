#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "base/rect.h"

namespace marrowick {

// Another application's top-level window. The backend decides what the id means; windows
// compare by id and are plain values, so any thread may hold one.
struct Window {
    std::uint64_t id = 0;
    bool operator==(const Window&) const = default;
};

enum class WindowKind {
    normal,  // an application's main window
    dialog,  // a dialog, or any window kept above a parent
    other,   // panels, menus, toolbars, splash screens…
};

enum class WindowError {
    gone,     // the window no longer exists
    busy,     // it (or the desktop) did not answer in time
    refused,  // it exists but would not do what was asked
};

[[nodiscard]] constexpr std::string_view name(WindowError e) {
    switch (e) {
        case WindowError::gone:
            return "gone";
        case WindowError::busy:
            return "busy";
        case WindowError::refused:
            return "refused";
    }
    return "refused";
}

// A value, or why there is none.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
    Result(WindowError error) : v_(error) {}   // NOLINT(google-explicit-constructor)

    [[nodiscard]] bool ok() const { return std::holds_alternative<T>(v_); }
    explicit operator bool() const { return ok(); }
    // Only when ok().
    [[nodiscard]] const T& value() const { return std::get<T>(v_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    // Only when not ok().
    [[nodiscard]] WindowError error() const { return std::get<WindowError>(v_); }
    [[nodiscard]] std::optional<T> optional() const { return ok() ? std::optional<T>(value()) : std::nullopt; }

private:
    std::variant<T, WindowError> v_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(WindowError error) : error_(error) {}  // NOLINT(google-explicit-constructor)
    [[nodiscard]] bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }
    [[nodiscard]] WindowError error() const { return *error_; }

private:
    std::optional<WindowError> error_;
};

// "ok", or the error's name, for the log.
template <class T>
[[nodiscard]] std::string_view name(const Result<T>& r) {
    return r.ok() ? "ok" : name(r.error());
}

// Other applications' windows: finding, reading and moving them. Frames are what the user sees:
// the decorations the window manager draws are in, an invisible shadow a client draws itself is
// out. Safe to call from any thread; every call answers within requestTimeout, a window that
// takes longer is busy.
class WindowControl {
public:
    static constexpr double requestTimeout = 0.2;

    virtual ~WindowControl() = default;
    // Whether this process may watch input and control other windows; with ask, the desktop may
    // ask the user (once) or say what is missing.
    virtual bool granted(bool ask) = 0;
    // The topmost window at p; none over the desktop, on a panel, or on any failure.
    [[nodiscard]] virtual std::optional<Window> windowAt(Point p) = 0;
    // Every window the desktop manages, in its own order.
    [[nodiscard]] virtual Result<std::vector<Window>> windows() = 0;
    [[nodiscard]] virtual Result<Rect> frame(Window w) = 0;
    // Moves and resizes the window so its frame is r. Refused when it keeps another size (size
    // increments, a minimum size).
    virtual Result<void> setFrame(Window w, const Rect& r) = 0;
    [[nodiscard]] virtual Result<WindowKind> kind(Window w) = 0;
    [[nodiscard]] virtual Result<bool> minimized(Window w) = 0;
    // The process the window belongs to.
    [[nodiscard]] virtual Result<int> application(Window w) = 0;
};

}  // namespace marrowick
