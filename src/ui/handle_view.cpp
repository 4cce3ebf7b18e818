#include "ui/handle_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "ui/overlay_window.h"

namespace marrowick {

namespace {

QString arrow(Axis axis) { return axis == Axis::columns ? QStringLiteral("↔") : QStringLiteral("↕"); }

}  // namespace

HandleView::HandleView() {
    makeOverlayWindow(*this, OverlayInput::takesPresses);
    setCursor(Qt::SizeHorCursor);
    setAccessibleName(QStringLiteral("Divider"));
}

void HandleView::setLook(Axis axis, bool translucent, double unitsPerPoint) {
    if (axis == axis_ && translucent == translucent_ && unitsPerPoint == unitsPerPoint_) return;
    if (axis != axis_) setCursor(axis == Axis::columns ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    axis_ = axis;
    translucent_ = translucent;
    unitsPerPoint_ = unitsPerPoint;
    applyShape();
    update();
}

QRectF HandleView::lineRect() const {
    const QRectF b(rect());
    const double w = lineWidth * unitsPerPoint_;
    if (axis_ == Axis::columns) return {b.center().x() - w / 2, 0, w, b.height()};
    return {0, b.center().y() - w / 2, b.width(), w};
}

QRectF HandleView::gripRect() const {
    const double across = gripAcross * unitsPerPoint_;
    const double along = gripAlong * unitsPerPoint_;
    const QSizeF size = axis_ == Axis::columns ? QSizeF(across, along) : QSizeF(along, across);
    QRectF grip(QPointF(), size);
    grip.moveCenter(QRectF(rect()).center());
    return grip;
}

void HandleView::applyShape() {
    if (translucent_) {
        clearMask();
        return;
    }
    QPainterPath shape;
    shape.addRect(lineRect());
    shape.addRoundedRect(gripRect(), gripRadius * unitsPerPoint_, gripRadius * unitsPerPoint_);
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

void HandleView::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Not quite clear, so that the whole strip takes presses where a window system hit-tests by alpha.
    p.fillRect(rect(), QColor::fromRgbF(1, 1, 1, 0.01F));
    const QColor accent = palette().color(QPalette::Highlight);
    p.fillRect(lineRect(), accent);
    QPainterPath grip;
    grip.addRoundedRect(gripRect(), gripRadius * unitsPerPoint_, gripRadius * unitsPerPoint_);
    p.fillPath(grip, accent);
    QFont font = p.font();
    font.setBold(true);
    // The arrow's size is in points of the monitor, whatever the font settings say.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(arrowSize * unitsPerPoint_))));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(rect()), Qt::AlignCenter, arrow(axis_));
}

void HandleView::resizeEvent(QResizeEvent* /*event*/) { applyShape(); }

void HandleView::hideEvent(QHideEvent* /*event*/) {
    // A window hidden under a pressed button never sees the release: end the drag here.
    if (!pressed_) return;
    pressed_ = false;
    if (onEnd) onEnd();
}

void HandleView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressed_) return;
    pressed_ = true;
    if (onBegin) onBegin();
}

void HandleView::mouseMoveEvent(QMouseEvent* /*event*/) {
    if (pressed_ && onDrag) onDrag();
}

void HandleView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (onEnd) onEnd();
}

}  // namespace marrowick
