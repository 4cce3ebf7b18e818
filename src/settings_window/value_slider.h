#pragma once

#include <QSlider>

namespace marrowick {

// A horizontal slider over real numbers (an opacity of 0.4, a gap of 2.9): QSlider counts in
// integers, so this one counts in hundredths of its unit.
class ValueSlider : public QSlider {
public:
    static constexpr double scale = 100;

    // step is what one arrow key press moves.
    ValueSlider(double minimum, double maximum, double step, QWidget* parent = nullptr);

    [[nodiscard]] double realValue() const { return value() / scale; }
    [[nodiscard]] double realMinimum() const { return minimum() / scale; }
    [[nodiscard]] double realMaximum() const { return maximum() / scale; }
    // Moves the knob without reporting a change, as setting a control from code does.
    void setRealValue(double v);
};

}  // namespace marrowick
