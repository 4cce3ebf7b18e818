#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>
#include <string>
#include <vector>

namespace marrowick::test {

// What a person would see wrong in a window's layout: a text cut off (a label or button narrower
// or lower than its text needs), a control reaching past the window's edge, or two controls that
// touch. The controls are the window's own children; a group drawn as one (a segmented picker, a
// row of chips) counts as one.
inline std::vector<std::string> layoutFaults(const QWidget& window) {
    std::vector<std::string> faults;
    const auto name = [](const QWidget* w) {
        if (const auto* b = qobject_cast<const QAbstractButton*>(w); b != nullptr && !b->text().isEmpty())
            return b->text().toStdString();
        if (const auto* l = qobject_cast<const QLabel*>(w); l != nullptr && !l->text().isEmpty())
            return l->text().toStdString();
        return (w->accessibleName().isEmpty() ? QString(w->metaObject()->className()) : w->accessibleName())
            .toStdString();
    };
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window)) continue;
        const auto* label = qobject_cast<const QLabel*>(w);
        const bool text = (label != nullptr && !label->text().isEmpty()) ||
                          (qobject_cast<const QAbstractButton*>(w) != nullptr &&
                           !qobject_cast<const QAbstractButton*>(w)->text().isEmpty());
        if (!text) continue;
        const QSize need = w->sizeHint();
        const bool wraps = label != nullptr && label->wordWrap();
        if ((!wraps && w->width() < need.width()) ||
            w->height() < (wraps ? label->heightForWidth(w->width()) : need.height())) {
            faults.push_back("'" + name(w) + "' is cut: " + std::to_string(w->width()) + "×" +
                             std::to_string(w->height()) + " for " + std::to_string(need.width()) + "×" +
                             std::to_string(need.height()));
        }
    }
    std::vector<const QWidget*> controls;
    for (const QWidget* w : window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w->isVisibleTo(&window) && !w->isWindow()) controls.push_back(w);
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QRect a = controls[i]->geometry();
        if (!window.rect().contains(a)) faults.push_back("'" + name(controls[i]) + "' reaches past the window's edge");
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            // Touching: no pixel between them.
            if (a.adjusted(-1, -1, 1, 1).intersects(controls[j]->geometry()))
                faults.push_back("'" + name(controls[i]) + "' touches '" + name(controls[j]) + "'");
        }
    }
    return faults;
}

}  // namespace marrowick::test
