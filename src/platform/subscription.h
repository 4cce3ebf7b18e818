#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace marrowick {

// Keeps a handler registered for as long as it lives: an object that owns its subscriptions
// takes its handlers with it when it goes, so no callback ever reaches a deleted object.
class [[nodiscard]] Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    void reset() {
        if (auto cancel = std::exchange(cancel_, nullptr)) cancel();
    }

private:
    std::function<void()> cancel_;
};

// The handlers of one kind of callback, in the order added. A handler removed while others run
// is not called any more; one added meanwhile waits for the next call. The list may go before
// its subscriptions.
template <class... Args>
class HandlerList {
public:
    using Handler = std::function<void(Args...)>;

    Subscription add(Handler handler) {
        const std::uint64_t id = next_++;
        entries_->emplace(id, std::move(handler));
        return Subscription([weak = std::weak_ptr<Entries>(entries_), id] {
            if (auto entries = weak.lock()) entries->erase(id);
        });
    }

    void call(Args... args) const {
        const Entries due = *entries_;
        for (const auto& [id, handler] : due) {
            if (entries_->contains(id)) handler(args...);
        }
    }

    [[nodiscard]] std::size_t size() const { return entries_->size(); }

private:
    using Entries = std::map<std::uint64_t, Handler>;
    std::shared_ptr<Entries> entries_ = std::make_shared<Entries>();
    std::uint64_t next_ = 1;
};

}  // namespace marrowick
