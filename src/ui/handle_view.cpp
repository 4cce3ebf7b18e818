#include "ui/handle_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

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

void HandleView::setAxis(Axis axis) {
    if (axis == axis_) return;
    axis_ = axis;
    setCursor(axis == Axis::columns ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    applyShape();
    update();
}

void HandleView::setTranslucent(bool translucent) {
    if (translucent == translucent_) return;
    translucent_ = translucent;
    applyShape();
    update();
}

QRectF HandleView::lineRect() const {
    const QRectF b(rect());
    if (axis_ == Axis::columns) return {b.center().x() - lineWidth / 2, 0, lineWidth, b.height()};
    return {0, b.center().y() - lineWidth / 2, b.width(), lineWidth};
}

QRectF HandleView::gripRect() const {
    const QSizeF size = axis_ == Axis::columns ? QSizeF(gripAcross, gripAlong) : QSizeF(gripAlong, gripAcross);
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
    shape.addRoundedRect(gripRect(), gripRadius, gripRadius);
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
    grip.addRoundedRect(gripRect(), gripRadius, gripRadius);
    p.fillPath(grip, accent);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(arrowSize);  // one point is one pixel
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
