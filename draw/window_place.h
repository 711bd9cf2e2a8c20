#pragma once
// Where the game's window goes on a screen, for every front end: the scale
// to paint it at and its place in the room the screen leaves, in whole
// device pixels.

#include "scene/rect.h"

namespace zorukan::draw {

struct WindowPlace {
    double scale = 1;  // device pixels a scene pixel, for the Painter
    scene::Rect area;  // the window's device pixels, within the room
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

// The window in a room of `room_width` by `room_height` device pixels at
// `ratio` device pixels a CSS (or logical) pixel: at a whole multiple of its
// own size in CSS pixels where there is room, so that its pictures stay
// pixel for pixel; scaled down to fit a smaller room; centred, and never
// larger than the room. `most` caps the whole multiple (a desktop window
// keeps the game's own size at the screen's scale).
WindowPlace place_window(int room_width, int room_height, double ratio, int most = 1 << 20);

}  // namespace zorukan::draw
