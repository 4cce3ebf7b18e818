#include "settings_window/swatch_row.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <algorithm>

#include "settings_window/swatch.h"

namespace marrowick {

namespace {

constexpr int chipSpacing = 2;

}  // namespace

SwatchRow::SwatchRow(const std::vector<Swatch*>& chips, const QString& name, QWidget* parent)
    : QWidget(parent), chips_(chips) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(chipSpacing);
    for (Swatch* chip : chips_) {
        layout->addWidget(chip);
        chip->installEventFilter(this);
    }
    setAccessibleName(name);
    followChoice();
}

Swatch* SwatchRow::tabStop() const {
    const auto it = std::find_if(chips_.begin(), chips_.end(),
                                 [](const Swatch* c) { return (c->focusPolicy() & Qt::TabFocus) != 0; });
    return it == chips_.end() ? nullptr : *it;
}

void SwatchRow::followChoice() {
    if (chips_.empty()) return;
    const auto chosen = std::find_if(chips_.begin(), chips_.end(), [](const Swatch* c) { return c->isChosen(); });
    makeStop(chosen == chips_.end() ? chips_.front() : *chosen);
}

void SwatchRow::makeStop(Swatch* chip) {
    // Only the stop takes Tab; the others are reached by the arrows (and the mouse).
    for (Swatch* c : chips_) c->setFocusPolicy(c == chip ? Qt::StrongFocus : Qt::ClickFocus);
}

bool SwatchRow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto at = std::find(chips_.begin(), chips_.end(), watched);
    if (at == chips_.end()) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool back = key == Qt::Key_Left || key == Qt::Key_Up;
    const bool forth = key == Qt::Key_Right || key == Qt::Key_Down;
    if (!back && !forth) return false;
    // Stops at the row's ends, like the arrows in a slider.
    const auto index = at - chips_.begin();
    const auto next =
        std::clamp<std::ptrdiff_t>(index + (forth ? 1 : -1), 0, static_cast<std::ptrdiff_t>(chips_.size()) - 1);
    Swatch* target = chips_[static_cast<std::size_t>(next)];
    makeStop(target);
    target->setFocus(Qt::TabFocusReason);
    return true;
}

}  // namespace marrowick
