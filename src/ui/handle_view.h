#pragma once

#include <QWidget>
#include <functional>

#include "geometry/axis.h"

namespace marrowick {

// A divider handle's window and its drawing: an accent line along the divider with a rounded
// grip and a double-headed arrow. It shows the resize cursor and turns the left button's press,
// drags and release into the three callbacks; a window hidden while pressed ends its drag.
class HandleView : public QWidget {
public:
    HandleView();

    [[nodiscard]] Axis axis() const { return axis_; }
    [[nodiscard]] double unitsPerPoint() const { return unitsPerPoint_; }
    // Draws for a divider along axis, at unitsPerPoint of this window's units to a point; redraws
    // and changes the cursor only when something changed. Without translucency the faint fill
    // would show as a dark slab: the window is cut down to the line and the grip then.
    void setLook(Axis axis, bool translucent, double unitsPerPoint = 1);

    std::function<void()> onBegin;
    std::function<void()> onDrag;
    std::function<void()> onEnd;

    // In points.
    static constexpr double lineWidth = 2;
    static constexpr double gripAcross = 24;
    static constexpr double gripAlong = 56;
    static constexpr double gripRadius = 12;
    static constexpr int arrowSize = 15;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    [[nodiscard]] QRectF lineRect() const;
    [[nodiscard]] QRectF gripRect() const;
    void applyShape();

    Axis axis_ = Axis::columns;
    bool translucent_ = true;
    double unitsPerPoint_ = 1;
    bool pressed_ = false;
};

}  // namespace marrowick
