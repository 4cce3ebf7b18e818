#include "ui/outline_view.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "ui/colors.h"
#include "ui/overlay_window.h"

namespace marrowick {

OutlineView::OutlineView() {
    makeOverlayWindow(*this, OverlayInput::passesThrough);
    releaseTimer_.setSingleShot(true);
    releaseTimer_.setInterval(releaseDelay);
    QObject::connect(&releaseTimer_, &QTimer::timeout, this, [this] {
        if (!isVisible() && testAttribute(Qt::WA_WState_Created)) destroy();
    });
}

void OutlineView::setStyle(const OutlineStyle& s, bool translucent, double unitsPerPoint) {
    if (s == style_ && translucent == translucent_ && unitsPerPoint == unitsPerPoint_) return;
    style_ = s;
    translucent_ = translucent;
    unitsPerPoint_ = unitsPerPoint;
    update();
    applyShape();
}

void OutlineView::release() {
    hide();
    if (testAttribute(Qt::WA_WState_Created) && !releaseTimer_.isActive()) releaseTimer_.start();
}

double OutlineView::radius() const {
    const QRectF box(rect());
    return std::clamp(style_.cornerRadius * unitsPerPoint_, 0.0, std::min(box.width(), box.height()) / 2);
}

QPainterPath OutlineView::outerPath() const {
    QPainterPath outer;
    outer.addRoundedRect(QRectF(rect()), radius(), radius());
    return outer;
}

// The band of the given width along the inside of the rounded outline.
QPainterPath OutlineView::borderBand(double width) const {
    const QRectF box(rect());
    const double half = std::min(box.width(), box.height()) / 2;
    const double w = std::clamp(width, 0.0, half);
    QPainterPath hole;
    const double innerRadius = std::max(0.0, radius() - w);
    hole.addRoundedRect(box.adjusted(w, w, -w, -w), innerRadius, innerRadius);
    return outerPath().subtracted(hole);
}

// Without translucency a thin border shows at least one point wide.
double OutlineView::bandWidth() const {
    return (translucent_ ? style_.borderWidth : std::max(1.0, style_.borderWidth)) * unitsPerPoint_;
}

// Without translucency a see-through fill would show as a solid slab: keep only the border, with
// the inside cut away so the desktop shows through.
void OutlineView::applyShape() {
    if (translucent_) {
        clearMask();
    } else {
        setMask(QRegion(borderBand(bandWidth()).toFillPolygon().toPolygon()));
    }
}

void OutlineView::resizeEvent(QResizeEvent* /*event*/) { applyShape(); }

void OutlineView::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (translucent_) p.fillPath(outerPath(), qcolor(style_.fill));
    if (bandWidth() <= 0) return;
    QColor border = qcolor(style_.border);
    if (!translucent_) border.setAlphaF(1.0F);
    p.fillPath(borderBand(bandWidth()), border);
}

}  // namespace marrowick
