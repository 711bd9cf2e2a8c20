#pragma once
// Lines turned into pixels: a line from one pixel centre to another, drawn
// with a round pen, as the rectangles of pixels it covers.

#include <vector>

#include "draw/canvas.h"

namespace zorukan::draw {

// The pixels of a line from (x1, y1) to (x2, y2), both ends included, with
// a pen `pen` pixels wide: a disc of that diameter stamped at every step of
// the line, so a wide line has round ends. Rows of pixels come back as
// rectangles, rows alike one above another merged into one.
std::vector<Rect> line_pixels(int x1, int y1, int x2, int y2, int pen);

// The smallest rectangle holding every pixel of that line.
Rect line_bounds(int x1, int y1, int x2, int y2, int pen);

}  // namespace zorukan::draw
