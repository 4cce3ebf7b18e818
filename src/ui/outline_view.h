#pragma once

#include <QPainterPath>
#include <QTimer>
#include <QWidget>
#include <chrono>

#include "platform/outline_style.h"

namespace marrowick {

// A click-through overlay window that draws a rounded rectangle in an outline style: the fill
// and, along the inside of the same rounded outline, the border over it. Without translucency
// (no compositing manager) only the border shows, with the inside cut away.
class OutlineView : public QWidget {
public:
    OutlineView();

    // The style's lengths are points; unitsPerPoint is how many of this window's units make one.
    void setStyle(const OutlineStyle& style, bool translucent, double unitsPerPoint = 1);
    [[nodiscard]] const OutlineStyle& style() const { return style_; }
    [[nodiscard]] double unitsPerPoint() const { return unitsPerPoint_; }

    // Hides the window; a moment later its native window and paint buffer go, unless it is shown
    // again meanwhile: a buffer of the window's size would otherwise stay allocated while nothing
    // is shown. Destroying waits for the server, so it stays off the path of a release.
    void release();
    // Keeps the native window (called before showing it again).
    void keep() { releaseTimer_.stop(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    [[nodiscard]] QPainterPath outerPath() const;
    [[nodiscard]] QPainterPath borderBand(double width) const;
    [[nodiscard]] double bandWidth() const;
    [[nodiscard]] double radius() const;
    void applyShape();

    OutlineStyle style_;
    bool translucent_ = true;
    double unitsPerPoint_ = 1;
    static constexpr std::chrono::milliseconds releaseDelay{500};
    QTimer releaseTimer_;
};

}  // namespace marrowick
