#pragma once
// Rectangles of whole pixels, and where the scene's controls lie in scene
// pixels: the one rounding from the scene's twips that the painter, the
// controls' rules and every front end share.

#include <algorithm>

#include "scene/controls.h"

namespace zorukan::scene {

// Whole pixels; x and y the top-left corner, w and h the size.
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;

    int right() const { return x + w; }  // one past the last column
    int bottom() const { return y + h; }  // one past the last row
    bool empty() const { return w <= 0 || h <= 0; }
    bool contains(int px, int py) const { return px >= x && px < right() && py >= y && py < bottom(); }
    // Inline: a repaint asks it of every run of every line near its area.
    bool intersects(const Rect& other) const {
        return std::max(x, other.x) < std::min(right(), other.right()) &&
               std::max(y, other.y) < std::min(bottom(), other.bottom());
    }
    Rect intersected(const Rect& other) const;
    Rect united(const Rect& other) const;  // the smallest rectangle holding both
    // Grown by `left`, `top`, `right` and `bottom` pixels (shrunk where negative).
    Rect adjusted(int left, int top, int right_side, int bottom_side) const {
        return {x - left, y - top, w + left + right_side, h + top + bottom_side};
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

// A control's box in scene pixels.
template <typename Control>
Rect pixel_rect(const Control& c) {
    return {pixels(c.Left), pixels(c.Top), pixels(c.Width), pixels(c.Height)};
}

}  // namespace zorukan::scene
