#include "ui/outline.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "ui/colors.h"
#include "ui/overlay_window.h"

namespace marrowick {

// The window itself: it paints the fill and, along the inside of the same rounded outline, the
// border over it.
class Outline::Box : public QWidget {
public:
    Box() {
        makeOverlayWindow(*this, OverlayInput::passesThrough);
        releaseTimer_.setSingleShot(true);
        releaseTimer_.setInterval(releaseDelay);
        QObject::connect(&releaseTimer_, &QTimer::timeout, this, [this] {
            if (!isVisible() && testAttribute(Qt::WA_WState_Created)) destroy();
        });
    }

    void setStyle(const OutlineStyle& s, bool translucent) {
        if (s == style && translucent == translucent_) return;
        style = s;
        translucent_ = translucent;
        update();
        applyShape();
    }

    OutlineStyle style;

    // Hides the window; a moment later its native window and paint buffer go, unless it is shown
    // again meanwhile: a buffer of the window's size would otherwise stay allocated while nothing
    // is shown. Destroying waits for the server, so it stays off the path of a release.
    void release() {
        hide();
        if (testAttribute(Qt::WA_WState_Created) && !releaseTimer_.isActive()) releaseTimer_.start();
    }
    void keep() { releaseTimer_.stop(); }

protected:
    void resizeEvent(QResizeEvent* /*event*/) override { applyShape(); }

private:
    [[nodiscard]] QPainterPath outerPath() const {
        const QRectF box(rect());
        const double radius = std::clamp(style.cornerRadius, 0.0, std::min(box.width(), box.height()) / 2);
        QPainterPath outer;
        outer.addRoundedRect(box, radius, radius);
        return outer;
    }
    // The band of the given width along the inside of the rounded outline.
    [[nodiscard]] QPainterPath borderBand(double width) const {
        const QRectF box(rect());
        const double half = std::min(box.width(), box.height()) / 2;
        const double radius = std::clamp(style.cornerRadius, 0.0, half);
        const double w = std::clamp(width, 0.0, half);
        QPainterPath hole;
        const double innerRadius = std::max(0.0, radius - w);
        hole.addRoundedRect(box.adjusted(w, w, -w, -w), innerRadius, innerRadius);
        return outerPath().subtracted(hole);
    }
    // Without translucency a thin border shows at least one pixel wide.
    [[nodiscard]] double bandWidth() const {
        return translucent_ ? style.borderWidth : std::max(1.0, style.borderWidth);
    }
    // Without translucency a see-through fill would show as a solid slab: keep only the border,
    // with the inside cut away so the desktop shows through.
    void applyShape() {
        if (translucent_) {
            clearMask();
        } else {
            setMask(QRegion(borderBand(bandWidth()).toFillPolygon().toPolygon()));
        }
    }

    bool translucent_ = true;
    static constexpr std::chrono::milliseconds releaseDelay{500};
    QTimer releaseTimer_;

    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        if (translucent_) p.fillPath(outerPath(), qcolor(style.fill));
        if (bandWidth() <= 0) return;
        QColor border = qcolor(style.border);
        if (!translucent_) border.setAlphaF(1.0F);
        p.fillPath(borderBand(bandWidth()), border);
    }
};

Outline::Outline(const Screens& screens) : screens_(screens), window_(std::make_unique<Box>()) {}

Outline::~Outline() = default;

void Outline::show(const Rect& r, const OutlineStyle& style) {
    window_->keep();
    window_->setStyle(style, screens_.supportsTranslucency());
    showOverlayAt(*window_, screens_, r);
}

void Outline::hide() { window_->release(); }

bool Outline::isVisible() const { return window_->isVisible(); }

const OutlineStyle& Outline::style() const { return window_->style; }

QWidget& Outline::window() const { return *window_; }

}  // namespace marrowick
