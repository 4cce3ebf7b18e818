#include "platform/x11/pending_events.h"

namespace marrowick::x11 {

namespace {
bool isDrag(const InputEvent& e) { return e.kind == InputKind::drag; }
}  // namespace

void PendingEvents::push(const InputEvent& event, bool own, bool wantsPosition) {
    // A drag joins the one before it while that one's position is not asked for yet: the answer
    // will be at least as new as both.
    if (isDrag(event) && !items_.empty() && isDrag(items_.back().event) && items_.back().own == own &&
        !items_.back().sequence) {
        items_.back().event = event;
        items_.back().wantsPosition = items_.back().wantsPosition || wantsPosition;
        return;
    }
    items_.push_back({event, own, wantsPosition, std::nullopt, false, std::nullopt});
}

std::vector<unsigned> PendingEvents::awaited() const {
    std::vector<unsigned> out;
    for (const Item& item : items_)
        if (item.sequence && !item.answered) out.push_back(*item.sequence);
    return out;
}

void PendingEvents::answer(unsigned sequence, std::optional<PointerSample> sample) {
    for (Item& item : items_) {
        if (item.sequence == sequence && !item.answered) {
            item.answered = true;
            item.sample = sample;
            return;
        }
    }
}

void PendingEvents::answerAll() {
    for (Item& item : items_) item.answered = true;
}

std::optional<PendingEvents::Ready> PendingEvents::pop() {
    // Drags that are ready back to back: only the latest goes out.
    while (items_.size() >= 2 && isDrag(items_[0].event) && isDrag(items_[1].event) && items_[0].own == items_[1].own &&
           items_[0].ready() && items_[1].ready())
        items_.pop_front();
    if (items_.empty() || !items_.front().ready()) return std::nullopt;
    Ready r{items_.front().event, items_.front().own, items_.front().sample};
    items_.pop_front();
    return r;
}

}  // namespace marrowick::x11
