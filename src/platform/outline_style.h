#pragma once

namespace marrowick {

// An sRGB colour, each component 0…1.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;
    bool operator==(const Color&) const = default;
};

// How outlines look: a rounded rectangle filled in one colour with a border band in another
// along the inside of its edge. Lengths in points, as stored.
struct OutlineStyle {
    Color fill;
    Color border;
    double borderWidth = 0;
    double cornerRadius = 0;
    bool operator==(const OutlineStyle&) const = default;
};

}  // namespace marrowick
