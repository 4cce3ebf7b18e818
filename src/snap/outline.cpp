#include "snap/outline.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "settings/settings.h"

namespace marrowick {

namespace {

QColor qcolor(const Color& c) {
    auto f = [](double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); };
    return QColor::fromRgbF(f(c.red), f(c.green), f(c.blue), f(c.alpha));
}

}  // namespace

// The window itself: it paints the fill and, along the inside of the same rounded outline, the
// border over it.
class Outline::Box : public QWidget {
public:
    Box()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput |
                               Qt::NoDropShadowWindowHint | Qt::X11BypassWindowManagerHint) {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 0, 0);
    }

    void setStyle(const Style& s, bool translucent) {
        if (s == style && translucent == translucent_) return;
        style = s;
        translucent_ = translucent;
        update();
        applyShape();
    }

    Style style;

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
    [[nodiscard]] double bandWidth() const { return translucent_ ? style.borderWidth : std::max(1.0, style.borderWidth); }
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

void Outline::show(const Rect& r) {
    window_->setStyle({Settings::color(Settings::fillColorKey), Settings::color(Settings::borderColorKey),
                       Settings::borderWidth(), Settings::cornerRadius()},
                      screens_.supportsTranslucency());
    const Rect n = screens_.toNative(r);
    const QRect target(static_cast<int>(std::lround(n.x)), static_cast<int>(std::lround(n.y)),
                       static_cast<int>(std::lround(n.width)), static_cast<int>(std::lround(n.height)));
    if (window_->geometry() != target) window_->setGeometry(target);
    window_->show();
    window_->raise();
}

void Outline::hide() { window_->hide(); }

bool Outline::isVisible() const { return window_->isVisible(); }

const Outline::Style& Outline::style() const { return window_->style; }

QWidget& Outline::window() const { return *window_; }

}  // namespace marrowick
