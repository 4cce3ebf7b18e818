#pragma once

#include <memory>

#include "base/rect.h"
#include "platform/screens.h"
#include "settings/outline_style.h"

class QWidget;

namespace marrowick {

// One click-through overlay window that draws a rounded rectangle in an outline style. Created
// hidden; shown and hidden any number of times; never closed and never focused.
class Outline {
public:
    explicit Outline(const Screens& screens);
    ~Outline();
    Outline(const Outline&) = delete;
    Outline& operator=(const Outline&) = delete;

    // Places the outline at an AppKit rectangle, in that style, in front of other windows.
    void show(const Rect& r, const OutlineStyle& style);
    void hide();

    [[nodiscard]] bool isVisible() const;
    [[nodiscard]] const OutlineStyle& style() const;
    [[nodiscard]] QWidget& window() const;

private:
    class Box;
    const Screens& screens_;
    std::unique_ptr<Box> window_;
};

}  // namespace marrowick
