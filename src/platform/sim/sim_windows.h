#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/window_control.h"

namespace marrowick::sim {

// How a simulated window is and behaves.
struct WindowOptions {
    WindowKind kind = WindowKind::normal;
    bool minimized = false;
    Size minSize{0, 0};
    bool resizable = true;
};

// Windows of other applications, in memory, front to back. Tests can make any request about a
// window fail, make an application slow to answer, or make a window vanish. Safe from any thread.
class SimWindows : public WindowControl {
public:
    using Options = WindowOptions;
    // What a request is about, to make it fail.
    enum class Request { frame, setFrame, kind, minimized, application };
    struct Write {
        Window window;
        Rect frame;
        bool operator==(const Write&) const = default;
    };

    bool granted(bool ask) override;
    std::optional<Window> windowAt(Point p) override;
    Result<std::vector<Window>> windows() override;
    Result<Rect> frame(Window w) override;
    Result<void> setFrame(Window w, const Rect& r) override;
    Result<WindowKind> kind(Window w) override;
    Result<bool> minimized(Window w) override;
    Result<int> application(Window w) override;

    // A new window of the process pid at frame, in front of the others.
    Window add(int pid, Rect frame, Options options = {});
    void vanish(Window w);
    void raise(Window w);
    // Puts a window somewhere, as its application or the user would; not a request.
    void place(Window w, Rect frame);
    // The frame as it is, or none once the window is gone; not a request.
    [[nodiscard]] std::optional<Rect> frameOf(Window w) const;
    // The window at p as the window manager sees it; not a request.
    [[nodiscard]] std::optional<Window> topAt(Point p) const;

    // Faults.
    void fail(Window w, Request request, WindowError error);
    void failListing(std::optional<WindowError> error);
    // Seconds the application takes to answer each request; past requestTimeout a request is
    // busy. Nothing sleeps: the waiting is only counted.
    void setResponseDelay(int pid, double seconds);
    void setGranted(bool granted);

    // Inspection.
    [[nodiscard]] std::vector<Write> writes() const;
    void clearWrites();
    [[nodiscard]] int askCount() const;
    [[nodiscard]] double secondsWaited() const;
    // Requests made from one thread, to check that work stays off the main thread.
    [[nodiscard]] int requestsOnThread(std::thread::id id) const;

private:
    struct Entry {
        int pid = 0;
        Rect frame;
        Options options;
        std::map<Request, WindowError> failures;
    };
    // Why a request about w cannot be answered (gone, slow past the timeout, a fault), if so.
    std::optional<WindowError> begin(Window w, Request request) const;

    mutable std::mutex m_;
    std::map<std::uint64_t, Entry> windows_;
    std::vector<std::uint64_t> zOrder_;  // front first
    std::map<int, double> delays_;
    std::vector<Write> writes_;
    std::optional<WindowError> listingError_;
    std::uint64_t next_ = 1;
    bool granted_ = true;
    int asks_ = 0;
    mutable double waited_ = 0;
    mutable std::map<std::thread::id, int> requestsByThread_;
};

}  // namespace marrowick::sim
