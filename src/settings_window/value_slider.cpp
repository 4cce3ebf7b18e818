#include "settings_window/value_slider.h"

#include <QSignalBlocker>
#include <cmath>

namespace marrowick {

namespace {
int units(double v) { return static_cast<int>(std::lround(v * ValueSlider::scale)); }
}  // namespace

ValueSlider::ValueSlider(double minimum, double maximum, double step, QWidget* parent)
    : QSlider(Qt::Horizontal, parent) {
    setRange(units(minimum), units(maximum));
    setSingleStep(units(step));
    setPageStep(units(step) * 10);
    setTracking(true);  // continuous: every movement is reported
    setValue(QSlider::minimum());
}

void ValueSlider::setRealValue(double v) {
    const QSignalBlocker quiet(this);
    setValue(std::isfinite(v) ? units(v) : minimum());
}

}  // namespace marrowick
