#pragma once

#include <memory>

#include "base/rect.h"
#include "platform/screens.h"
#include "settings/color.h"

class QWidget;

namespace marrowick {

// One click-through overlay window that draws a rounded rectangle in the outline style. Created
// hidden; shown and hidden any number of times; never closed and never focused.
class Outline {
public:
    struct Style {
        Color fill;
        Color border;
        double borderWidth = 0;
        double cornerRadius = 0;
        bool operator==(const Style&) const = default;
    };

    explicit Outline(const Screens& screens);
    ~Outline();
    Outline(const Outline&) = delete;
    Outline& operator=(const Outline&) = delete;

    // Places the outline at an AppKit rectangle, in the style stored now, in front of others.
    void show(const Rect& r);
    void hide();

    [[nodiscard]] bool isVisible() const;
    [[nodiscard]] const Style& style() const;
    [[nodiscard]] QWidget& window() const;

private:
    class Box;
    const Screens& screens_;
    std::unique_ptr<Box> window_;
};

}  // namespace marrowick
