#include "settings_window/swatch.h"

#include <QPainter>
#include <cmath>

#include "ui/colors.h"

namespace marrowick {

Swatch::Swatch(std::string_view name, const Color& color, QWidget* parent) : QAbstractButton(parent), color_(color) {
    setFixedSize(extent, extent);
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    setToolTip(text);
    // No visible title; screen readers read the palette name.
    setAccessibleName(text);
    setFocusPolicy(Qt::StrongFocus);
}

bool Swatch::matches(const Color& other) const {
    const double sum =
        std::abs(color_.red - other.red) + std::abs(color_.green - other.green) + std::abs(color_.blue - other.blue);
    return sum < 0.02;
}

void Swatch::setChosen(bool chosen) {
    chosen_ = chosen;
    update();
}

void Swatch::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    const QRectF chip = bounds.adjusted(4, 4, -4, -4);
    p.setBrush(qcolor(color_));
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.drawEllipse(chip);
    p.setBrush(Qt::NoBrush);
    if (chosen_) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawEllipse(bounds.adjusted(1.5, 1.5, -1.5, -1.5));
    }
    if (hasFocus()) {
        // Keyboard focus: a dotted square, apart from the ring that marks the choice.
        p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        p.drawRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

}  // namespace marrowick
