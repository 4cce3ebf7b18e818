#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/accessibility.h"
#include "platform/x11/x11_connection.h"

namespace marrowick::x11 {

// Windows of other applications through EWMH and ICCCM. An element is a client window (the one
// with WM_STATE), an application (by pid) or the system-wide element. Each calling thread gets a
// connection of its own, so the main thread never waits behind the follower's requests, and
// every call ends by its element's messaging timeout.
class X11Accessibility : public Accessibility {
public:
    static constexpr double defaultTimeout = 1.0;

    explicit X11Accessibility(std::string display);
    ~X11Accessibility() override;

    bool isTrusted(bool prompt) override;
    [[nodiscard]] Element systemWide() const override;
    [[nodiscard]] Element application(int pid) override;
    AXReply elementAtPosition(const Element& root, float x, float y) override;
    AXReply copyAttribute(const Element& element, std::string_view name) override;
    int setAttribute(const Element& element, std::string_view name, const Value& value) override;
    int setMessagingTimeout(const Element& element, float seconds) override;

    // Element ids: the kind in the top byte, the window id or pid below.
    static Element windowElement(std::uint32_t window);
    static std::optional<std::uint32_t> windowOf(const Element& e);
    static std::optional<int> pidOf(const Element& e);

private:
    Connection* connection();
    Deadline deadlineFor(const Element& e);
    int setFrame(std::uint32_t window, std::optional<Point> position, std::optional<Size> size, Deadline deadline);

    std::string display_;
    std::mutex mutex_;  // guards the two maps
    std::map<std::thread::id, std::unique_ptr<Connection>> connections_;
    std::map<std::uint64_t, double> timeouts_;
};

}  // namespace marrowick::x11
