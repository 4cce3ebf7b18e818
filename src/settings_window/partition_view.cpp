#include "settings_window/partition_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>

#include "geometry/dividers.h"
#include "geometry/geometry.h"
#include "settings/screen_layout.h"
#include "settings/settings.h"

namespace marrowick {

namespace {

// The labels' size beside the 13-point system font the editor was designed with.
constexpr double labelRatio = 11.0 / 13.0;
constexpr double cornerRadius = 6;
constexpr double cursorBand = 8;  // half the width of the resize-cursor band of a divider
constexpr double keyStep = 0.01;

QFont labelFont(QFont f) {
    if (f.pointSizeF() > 0) {
        f.setPointSizeF(f.pointSizeF() * labelRatio);
    } else {
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(f.pixelSize() * labelRatio))));
    }
    return f;
}

}  // namespace

PartitionView::PartitionView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Section editor"));
    updateDescription();
}

void PartitionView::setScreen(std::optional<Screen> screen) {
    // A drag held across a change of monitor would move a divider of one the user never
    // grabbed; the same monitor set again (after another was plugged) keeps its drag.
    const auto key = [](const std::optional<Screen>& s) { return s ? Settings::displayKey(*s) : std::string(); };
    if (dragging_ && key(screen) != key(screen_)) {
        dragging_.reset();
        keyDrag_ = false;
    }
    screen_ = std::move(screen);
    refresh();
}

void PartitionView::refresh() {
    update();
    if (hover_) updateCursor(*hover_);
    updateDescription();
}

QRectF PartitionView::monitor() const {
    const QRectF inner = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (!screen_ || !(screen_->frame.width > 0) || !(screen_->frame.height > 0)) return inner;
    const Rect& f = screen_->frame;
    const double k = std::min(inner.width() / f.width, inner.height() / f.height);
    QRectF m(0, 0, f.width * k, f.height * k);
    m.moveCenter(inner.center());
    return m;
}

Axis PartitionView::axis() const {
    return screen_ && Settings::axis(*screen_) == Axis::rows ? Axis::rows : Axis::columns;
}

std::vector<double> PartitionView::dividers() const {
    return screen_ ? Settings::dividers(*screen_) : std::vector<double>{};
}

QString PartitionView::name(std::size_t index, std::size_t count, Axis axis) {
    static const QString columns2[] = {QStringLiteral("Left"), QStringLiteral("Right")};
    static const QString columns3[] = {QStringLiteral("Left"), QStringLiteral("Centre"), QStringLiteral("Right")};
    static const QString rows2[] = {QStringLiteral("Top"), QStringLiteral("Bottom")};
    static const QString rows3[] = {QStringLiteral("Top"), QStringLiteral("Middle"), QStringLiteral("Bottom")};
    if (count == 2 && index < 2) return axis == Axis::columns ? columns2[index] : rows2[index];
    if (count == 3 && index < 3) return axis == Axis::columns ? columns3[index] : rows3[index];
    return QString::number(index + 1);
}

std::vector<QString> PartitionView::labels() const {
    std::vector<QString> out;
    const std::vector<double> d = dividers();
    if (d.empty() || !screen_) return out;
    std::vector<double> edges{0};
    edges.insert(edges.end(), d.begin(), d.end());
    edges.push_back(1);
    const std::size_t n = edges.size() - 1;
    const Axis a = axis();
    const std::vector<Rect> t = a == Axis::columns ? tiles(*screen_) : std::vector<Rect>{};
    for (std::size_t i = 0; i < n; ++i) {
        const auto p = static_cast<long long>(roundHalfAway((edges[i + 1] - edges[i]) * 100));
        if (a == Axis::rows) {
            out.push_back(QStringLiteral("%1  %2%").arg(name(i, n, a)).arg(p));
            continue;
        }
        const auto w = i < t.size() ? static_cast<long long>(roundHalfAway(t[i].width)) : 0LL;
        out.push_back(QStringLiteral("%1\n%2%\n%3 px").arg(name(i, n, a)).arg(p).arg(w));
    }
    return out;
}

QRectF PartitionView::span(const QRectF& m, double a, double b) const {
    if (axis() == Axis::columns) return {m.left() + a * m.width(), m.top(), (b - a) * m.width(), m.height()};
    return {m.left(), m.top() + a * m.height(), m.width(), (b - a) * m.height()};
}

double PartitionView::position(const QRectF& m, double d) const {
    return axis() == Axis::columns ? m.left() + d * m.width() : m.top() + d * m.height();
}

double PartitionView::fraction(const QRectF& m, QPointF p) const {
    return axis() == Axis::columns ? (p.x() - m.left()) / m.width() : (p.y() - m.top()) / m.height();
}

void PartitionView::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF m = monitor();
    QColor quaternary = palette().color(QPalette::WindowText);
    quaternary.setAlphaF(0.1F);
    QPainterPath background;
    background.addRoundedRect(m, cornerRadius, cornerRadius);
    p.fillPath(background, quaternary);

    p.setFont(labelFont(font()));
    p.setPen(palette().color(QPalette::WindowText));
    const std::vector<double> d = dividers();
    if (d.empty()) {
        const QRectF all = rect();
        p.drawText(all, Qt::AlignCenter, QString::fromUtf8(noSectionsText));
        return;
    }
    const std::vector<QString> texts = labels();
    double from = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const double to = i < d.size() ? d[i] : 1.0;
        p.drawText(span(m, from, to), Qt::AlignCenter, texts[i]);
        from = to;
    }

    const QColor accent = palette().color(QPalette::Highlight);
    for (std::size_t i = 0; i < d.size(); ++i) {
        const double at = position(m, d[i]);
        QRectF line;
        QRectF grip;
        if (axis() == Axis::columns) {
            line = {at - 1, m.top(), 2, m.height()};
            grip = {at - 4, m.center().y() - 16, 8, 32};
        } else {
            line = {m.left(), at - 1, m.width(), 2};
            grip = {m.center().x() - 16, at - 4, 32, 8};
        }
        p.fillRect(line, accent);
        QPainterPath g;
        g.addRoundedRect(grip, 4, 4);
        p.fillPath(g, accent);
        if (hasFocus() && i == keyDivider_) {
            // The divider the arrow keys move.
            p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
            p.drawRoundedRect(grip.adjusted(-3, -3, 3, 3), 6, 6);
        }
    }
}

void PartitionView::updateCursor(QPointF p) {
    const QRectF m = monitor();
    for (double d : dividers()) {
        const double at = position(m, d);
        const QRectF band = axis() == Axis::columns ? QRectF(at - cursorBand, m.top(), 2 * cursorBand, m.height())
                                                    : QRectF(m.left(), at - cursorBand, m.width(), 2 * cursorBand);
        if (band.contains(p)) {
            setCursor(axis() == Axis::columns ? Qt::SizeHorCursor : Qt::SizeVerCursor);
            return;
        }
    }
    unsetCursor();
}

void PartitionView::updateDescription() {
    const std::vector<QString> texts = labels();
    QStringList parts;
    for (const QString& t : texts) parts << QString(t).replace(QLatin1Char('\n'), QLatin1Char(' '));
    setAccessibleDescription(parts.isEmpty()
                                 ? QString::fromUtf8(noSectionsText).replace(QLatin1Char('\n'), QLatin1Char(' '))
                                 : parts.join(QStringLiteral(", ")));
}

void PartitionView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    endKeyDrag();
    const QRectF m = monitor();
    const double extent = axis() == Axis::rows ? m.height() : m.width();
    const double f = fraction(m, event->position());
    const std::vector<double> d = dividers();
    double best = std::numeric_limits<double>::infinity();
    std::size_t index = 0;
    for (std::size_t i = 0; i < d.size(); ++i) {
        const double distance = extent * std::abs(f - d[i]);
        if (distance < best) {
            best = distance;
            index = i;
        }
    }
    // Exactly twelve points grabs, whatever the rounding of the fraction.
    if (d.empty() || best > grabDistance + 1e-9) return;
    dragging_ = index;
    keyDivider_ = index;
    if (onBegin) onBegin();
}

void PartitionView::mouseMoveEvent(QMouseEvent* event) {
    hover_ = event->position();
    if (!dragging_) {
        updateCursor(event->position());
        return;
    }
    if ((event->buttons() & Qt::LeftButton) == 0) return;
    step(fraction(monitor(), event->position()));
}

void PartitionView::step(double f) {
    if (!dragging_ || !screen_) return;
    const std::vector<double> d = Settings::dividers(*screen_);
    // The list may have changed under a held drag; such an index names no divider.
    if (*dragging_ >= d.size()) return;
    Settings::setDividers(moving(d, *dragging_, f), *screen_);
    refresh();
    if (onChange) onChange();
}

void PartitionView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_.reset();
    if (onFinish) onFinish();
}

void PartitionView::keyPressEvent(QKeyEvent* event) {
    const std::vector<double> d = dividers();
    const bool columns = axis() == Axis::columns;
    const int less = columns ? Qt::Key_Left : Qt::Key_Up;
    const int more = columns ? Qt::Key_Right : Qt::Key_Down;
    if (event->key() == Qt::Key_Space && !d.empty() && !dragging_) {
        keyDivider_ = (keyDivider_ + 1) % d.size();
        update();
        return;
    }
    if ((event->key() != less && event->key() != more) || d.empty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    keyDivider_ = std::min(keyDivider_, d.size() - 1);
    if (!dragging_) {
        dragging_ = keyDivider_;
        keyDrag_ = true;
        if (onBegin) onBegin();
    }
    step(d[keyDivider_] + (event->key() == more ? keyStep : -keyStep));
}

void PartitionView::keyReleaseEvent(QKeyEvent* event) {
    const bool arrow = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right || event->key() == Qt::Key_Up ||
                       event->key() == Qt::Key_Down;
    if (!arrow || event->isAutoRepeat() || !keyDrag_) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    endKeyDrag();
}

void PartitionView::endKeyDrag() {
    if (!keyDrag_) return;
    keyDrag_ = false;
    dragging_.reset();
    if (onFinish) onFinish();
}

void PartitionView::focusOutEvent(QFocusEvent* event) {
    // The key's release goes elsewhere now.
    endKeyDrag();
    QWidget::focusOutEvent(event);
}

void PartitionView::leaveEvent(QEvent* event) {
    hover_.reset();
    QWidget::leaveEvent(event);
}

}  // namespace marrowick
