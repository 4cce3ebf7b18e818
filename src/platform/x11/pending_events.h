#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "base/rect.h"
#include "platform/input.h"

namespace marrowick::x11 {

// The pointer as the server reported it for one event: root coordinates and the pressed buttons
// (the Button bits).
struct PointerSample {
    Point root;
    unsigned buttons = 0;
    bool operator==(const PointerSample&) const = default;
};

// Input events on their way from the server to the monitors, in the server's order. An event that
// wants the pointer's position waits for it, asked for without blocking; a run of drags with
// nothing between them reaches the monitors as its latest drag, with that drag's flags. Nothing
// else is dropped, and nothing is reordered.
class PendingEvents {
public:
    struct Ready {
        InputEvent event;
        bool own = false;                      // for our own windows: the local monitors
        std::optional<PointerSample> pointer;  // none for events that need no position, or unanswered
    };

    void push(const InputEvent& event, bool own, bool wantsPosition);
    // Calls ask() once for each event that waits for a position not yet asked for, oldest first;
    // ask answers the request's sequence number.
    template <class Ask>
    void askPositions(Ask ask) {
        for (Item& item : items_)
            if (item.wantsPosition && !item.sequence) item.sequence = ask();
    }
    // The requests asked for and not yet answered.
    [[nodiscard]] std::vector<unsigned> awaited() const;
    // The answer to one request; none when it failed (the event still goes out, without a position).
    void answer(unsigned sequence, std::optional<PointerSample> sample);
    // Gives up on every request: what waited goes out without a position.
    void answerAll();
    // The oldest event that can go out now, if any.
    std::optional<Ready> pop();
    [[nodiscard]] bool empty() const { return items_.empty(); }

private:
    struct Item {
        InputEvent event;
        bool own = false;
        bool wantsPosition = false;
        std::optional<unsigned> sequence;
        bool answered = false;
        std::optional<PointerSample> sample;
        [[nodiscard]] bool ready() const { return !wantsPosition || answered; }
    };
    std::deque<Item> items_;
};

}  // namespace marrowick::x11
