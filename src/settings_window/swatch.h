#pragma once

#include <QAbstractButton>
#include <string_view>

#include "platform/outline_style.h"

namespace marrowick {

// A round colour chip of the outline rows; the chip of the current colour wears the accent
// ring. Clicking it (or Space while it has focus) emits clicked() like any button.
class Swatch : public QAbstractButton {
public:
    static constexpr int extent = 24;

    Swatch(std::string_view name, const Color& color, QWidget* parent = nullptr);

    [[nodiscard]] const Color& color() const { return color_; }
    // Red, green and blue within 0.02 together; the alpha is not compared.
    [[nodiscard]] bool matches(const Color& other) const;
    [[nodiscard]] bool isChosen() const { return chosen_; }
    void setChosen(bool chosen);

    [[nodiscard]] QSize sizeHint() const override { return {extent, extent}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Color color_;
    bool chosen_ = false;
};

}  // namespace marrowick
