#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/accessibility.h"

namespace marrowick::sim {

// An in-memory tree of applications, windows and their child elements. Window frames are in
// Accessibility coordinates. Tests can make any attribute fail or lie about its type, make an
// application slow to answer, or make a window vanish. Safe from any thread.
class SimAccessibility : public Accessibility {
public:
    struct WindowOptions {
        Rect frame{};  // Accessibility coordinates
        std::string subrole = "AXStandardWindow";
        bool minimized = false;
        Size minSize{0, 0};
        bool resizable = true;
    };
    struct Write {
        Element element;
        std::string name;
        Value value;
    };

    bool isTrusted(bool prompt) override;
    [[nodiscard]] Element systemWide() const override { return {systemWideId}; }
    Element application(int pid) override;
    AXReply elementAtPosition(const Element& root, float x, float y) override;
    AXReply copyAttribute(const Element& element, std::string_view name) override;
    int setAttribute(const Element& element, std::string_view name, const Value& value) override;
    int setMessagingTimeout(const Element& element, float seconds) override;

    // Building the tree. Windows are kept front to back; a new one goes to the front.
    Element addWindow(int pid, const WindowOptions& options);
    // A child element (title bar, button…) of a window or of another child, at a frame inside it.
    // With reportsWindow false it answers no "AXWindow", so only its parents lead to the window.
    Element addChild(const Element& parent, std::string role, Rect frame, bool reportsWindow = true);
    void vanish(const Element& element);
    void raise(const Element& window);

    // Faults.
    void failAttribute(const Element& element, std::string name, int error);
    void overrideAttribute(const Element& element, std::string name, Value value);
    void failElementAtPosition(int error) {
        std::lock_guard l(m_);
        hitError_ = error;
    }
    // Seconds the application takes to answer each request; past the messaging timeout a
    // request fails. Nothing sleeps: the waiting is only counted.
    void setResponseDelay(int pid, double seconds);
    void setTrusted(bool trusted) {
        std::lock_guard l(m_);
        trusted_ = trusted;
    }

    // Inspection.
    [[nodiscard]] std::optional<Rect> frame(const Element& window) const;
    void setFrame(const Element& window, Rect frame);
    [[nodiscard]] std::vector<Write> writes() const {
        std::lock_guard l(m_);
        return writes_;
    }
    void clearWrites() {
        std::lock_guard l(m_);
        writes_.clear();
    }
    [[nodiscard]] int promptCount() const {
        std::lock_guard l(m_);
        return prompts_;
    }
    [[nodiscard]] double secondsWaited() const {
        std::lock_guard l(m_);
        return waited_;
    }
    [[nodiscard]] std::optional<Element> windowAt(Point axPoint) const;
    // Requests made from one thread, to check that work stays off the main thread.
    [[nodiscard]] int requestsOnThread(std::thread::id id) const;

    static constexpr std::uint64_t systemWideId = 1;

private:
    enum class Kind { application, window, child };
    struct Node {
        Kind kind = Kind::child;
        int pid = 0;
        std::string role;
        std::uint64_t parent = 0;
        std::uint64_t window = 0;  // the containing window (children) or itself
        bool reportsWindow = true;
        Rect frame;
        std::string subrole;
        bool minimized = false;
        Size minSize;
        bool resizable = true;
        std::vector<std::uint64_t> windows;  // of an application, in its order
        float timeout = 0;                   // 0: the application's default
        std::map<std::string, int, std::less<>> failures;
        std::map<std::string, Value, std::less<>> overrides;
    };

    // Answers an error when the request cannot be made (gone, slow past the timeout).
    int begin(std::uint64_t id) const;
    std::uint64_t appOf(int pid);
    // Moves a window and its children together.
    void moveTo(std::uint64_t window, Point origin);
    const Node* node(std::uint64_t id) const;

    mutable std::mutex m_;
    std::map<std::uint64_t, Node> nodes_;
    std::vector<std::uint64_t> zOrder_;  // windows, front first
    std::map<int, double> delays_;
    std::vector<Write> writes_;
    std::uint64_t next_ = 2;
    int hitError_ = AXError::success;
    float globalTimeout_ = 0;
    bool trusted_ = true;
    int prompts_ = 0;
    mutable double waited_ = 0;
    mutable std::map<std::thread::id, int> requestsByThread_;
};

}  // namespace marrowick::sim
