#include "draw/window_place.h"

#include <algorithm>
#include <cmath>

#include "draw/painter.h"

namespace zorukan::draw {

WindowPlace place_window(int room_width, int room_height, double ratio, int most) {
    const Rect own = Painter(1).window();
    const double fit = std::min(static_cast<double>(room_width) / own.w, static_cast<double>(room_height) / own.h);
    const double whole = std::min(std::floor(fit / ratio), static_cast<double>(most));
    // The smallest scale still shows a pixel of the window.
    const double scale = std::max(whole >= 1 ? whole * ratio : fit, 1.0 / own.w);
    const Rect size = Painter(scale).window();
    return {scale, {(room_width - size.w) / 2, (room_height - size.h) / 2, size.w, size.h}};
}

}  // namespace zorukan::draw
