#include "platform/sim/sim_windows.h"

#include <algorithm>

#include "geometry/geometry.h"

namespace marrowick::sim {

bool SimWindows::granted(bool ask) {
    std::lock_guard l(m_);
    if (ask && !granted_) ++asks_;
    return granted_;
}

std::optional<WindowError> SimWindows::begin(Window w, Request request) const {
    ++requestsByThread_[std::this_thread::get_id()];
    auto it = windows_.find(w.id);
    if (it == windows_.end()) return WindowError::gone;
    if (auto d = delays_.find(it->second.pid); d != delays_.end() && d->second > 0) {
        if (d->second > requestTimeout) {
            waited_ += requestTimeout;
            return WindowError::busy;
        }
        waited_ += d->second;
    }
    if (auto f = it->second.failures.find(request); f != it->second.failures.end()) return f->second;
    return std::nullopt;
}

std::optional<Window> SimWindows::windowAt(Point p) {
    std::lock_guard l(m_);
    ++requestsByThread_[std::this_thread::get_id()];
    for (std::uint64_t id : zOrder_) {
        const Entry& e = windows_.at(id);
        if (e.options.minimized || !mouseInRect(p, e.frame)) continue;
        if (begin({id}, Request::frame)) return std::nullopt;
        return Window{id};
    }
    return std::nullopt;
}

Result<std::vector<Window>> SimWindows::windows() {
    std::lock_guard l(m_);
    ++requestsByThread_[std::this_thread::get_id()];
    if (listingError_) return *listingError_;
    std::vector<Window> out;
    for (const auto& [id, e] : windows_) out.push_back({id});  // in the order they were made
    return out;
}

Result<Rect> SimWindows::frame(Window w) {
    std::lock_guard l(m_);
    if (auto e = begin(w, Request::frame)) return *e;
    return windows_.at(w.id).frame;
}

Result<void> SimWindows::setFrame(Window w, const Rect& r) {
    std::lock_guard l(m_);
    if (auto e = begin(w, Request::setFrame)) return *e;
    writes_.push_back({w, r});
    Entry& e = windows_.at(w.id);
    e.frame.x = r.x;
    e.frame.y = r.y;
    if (!e.options.resizable) return WindowError::refused;
    e.frame.width = std::max(r.width, e.options.minSize.width);
    e.frame.height = std::max(r.height, e.options.minSize.height);
    if (e.frame != r) return WindowError::refused;
    return {};
}

Result<WindowKind> SimWindows::kind(Window w) {
    std::lock_guard l(m_);
    if (auto e = begin(w, Request::kind)) return *e;
    return windows_.at(w.id).options.kind;
}

Result<bool> SimWindows::minimized(Window w) {
    std::lock_guard l(m_);
    if (auto e = begin(w, Request::minimized)) return *e;
    return windows_.at(w.id).options.minimized;
}

Result<int> SimWindows::application(Window w) {
    std::lock_guard l(m_);
    if (auto e = begin(w, Request::application)) return *e;
    return windows_.at(w.id).pid;
}

Window SimWindows::add(int pid, Rect frame, Options options) {
    std::lock_guard l(m_);
    const std::uint64_t id = next_++;
    windows_.emplace(id, Entry{pid, frame, options, {}});
    zOrder_.insert(zOrder_.begin(), id);
    return {id};
}

void SimWindows::vanish(Window w) {
    std::lock_guard l(m_);
    windows_.erase(w.id);
    std::erase(zOrder_, w.id);
}

void SimWindows::raise(Window w) {
    std::lock_guard l(m_);
    auto it = std::find(zOrder_.begin(), zOrder_.end(), w.id);
    if (it == zOrder_.end()) return;
    zOrder_.erase(it);
    zOrder_.insert(zOrder_.begin(), w.id);
}

void SimWindows::place(Window w, Rect frame) {
    std::lock_guard l(m_);
    if (auto it = windows_.find(w.id); it != windows_.end()) it->second.frame = frame;
}

std::optional<Rect> SimWindows::frameOf(Window w) const {
    std::lock_guard l(m_);
    auto it = windows_.find(w.id);
    if (it == windows_.end()) return std::nullopt;
    return it->second.frame;
}

std::optional<Window> SimWindows::topAt(Point p) const {
    std::lock_guard l(m_);
    for (std::uint64_t id : zOrder_) {
        const Entry& e = windows_.at(id);
        if (!e.options.minimized && mouseInRect(p, e.frame)) return Window{id};
    }
    return std::nullopt;
}

void SimWindows::fail(Window w, Request request, WindowError error) {
    std::lock_guard l(m_);
    windows_.at(w.id).failures.insert_or_assign(request, error);
}

void SimWindows::failListing(std::optional<WindowError> error) {
    std::lock_guard l(m_);
    listingError_ = error;
}

void SimWindows::setResponseDelay(int pid, double seconds) {
    std::lock_guard l(m_);
    delays_[pid] = seconds;
}

void SimWindows::setGranted(bool granted) {
    std::lock_guard l(m_);
    granted_ = granted;
}

std::vector<SimWindows::Write> SimWindows::writes() const {
    std::lock_guard l(m_);
    return writes_;
}

void SimWindows::clearWrites() {
    std::lock_guard l(m_);
    writes_.clear();
}

int SimWindows::askCount() const {
    std::lock_guard l(m_);
    return asks_;
}

double SimWindows::secondsWaited() const {
    std::lock_guard l(m_);
    return waited_;
}

int SimWindows::requestsOnThread(std::thread::id id) const {
    std::lock_guard l(m_);
    auto it = requestsByThread_.find(id);
    return it == requestsByThread_.end() ? 0 : it->second;
}

}  // namespace marrowick::sim
