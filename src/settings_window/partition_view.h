#pragma once

#include <QWidget>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "geometry/axis.h"
#include "platform/screens.h"

namespace marrowick {

// One monitor drawn to scale with its sections, their shares and its dividers; a divider can be
// dragged with the mouse (or moved with the arrow keys once the view has focus). Each step
// stores the new dividers at once; the owner learns of a drag through the three callbacks.
class PartitionView : public QWidget {
public:
    // A press this close to a divider line grabs it.
    static constexpr double grabDistance = 12;

    explicit PartitionView(QWidget* parent = nullptr);

    void setScreen(std::optional<Screen> screen);
    [[nodiscard]] const std::optional<Screen>& screen() const { return screen_; }
    // Redraws and renews the resize cursor after the dividers, axis or gap changed elsewhere.
    void refresh();

    std::function<void()> onBegin;
    std::function<void()> onChange;
    std::function<void()> onFinish;

    // The monitor picture in view coordinates: the inner area, or the monitor to scale in it.
    [[nodiscard]] QRectF monitor() const;
    [[nodiscard]] Axis axis() const;
    // The text of each section, in order; empty when the monitor has no sections.
    [[nodiscard]] std::vector<QString> labels() const;
    [[nodiscard]] static QString name(std::size_t index, std::size_t count, Axis axis);
    [[nodiscard]] std::optional<std::size_t> dragging() const { return dragging_; }

    // Also the hint of a first start, when no monitor has sections.
    static constexpr const char* noSectionsText =
        "No sections on this monitor.\nPick 2, 3 or 4 under Sections to snap windows here.";

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    [[nodiscard]] std::vector<double> dividers() const;
    [[nodiscard]] QRectF span(const QRectF& m, double a, double b) const;
    [[nodiscard]] double position(const QRectF& m, double d) const;
    [[nodiscard]] double fraction(const QRectF& m, QPointF p) const;
    // Stores the dragged divider at fraction f, redraws and reports the step.
    void step(double f);
    void updateCursor(QPointF p);
    void updateDescription();
    void endKeyDrag();

    std::optional<Screen> screen_;
    std::optional<std::size_t> dragging_;
    std::size_t keyDivider_ = 0;  // the divider the arrow keys move
    bool keyDrag_ = false;        // the drag under way is the arrow keys'
    std::optional<QPointF> hover_;
};

}  // namespace marrowick
