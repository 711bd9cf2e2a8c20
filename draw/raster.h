#pragma once
// Lines turned into pixels: a line from one pixel centre to another, drawn
// with a round pen, as the rectangles of pixels it covers.

#include <climits>
#include <vector>

#include "draw/canvas.h"

namespace zorukan::draw {

// The pixels of a line from (x1, y1) to (x2, y2), both ends included, with
// a pen `pen` pixels wide: a disc of that diameter stamped at every step of
// the line, so a wide line has round ends. Rows of pixels come back as
// rectangles, rows alike one above another merged into one.
std::vector<Rect> line_pixels(int x1, int y1, int x2, int y2, int pen);

// The same added to `runs`: a painter that draws a thousand segments keeps
// one buffer for all of them, and a thin segment that starts where the last
// one ended goes on with its rectangles instead of covering that pixel
// again. Only the pixels inside `within` are added: a repaint of a small area
// passes over the rest of a long line without building its rectangles.
void line_pixels(int x1, int y1, int x2, int y2, int pen, std::vector<Rect>& runs,
                 const Rect& within = {INT_MIN / 2, INT_MIN / 2, INT_MAX, INT_MAX});

// The smallest rectangle holding every pixel of that line.
Rect line_bounds(int x1, int y1, int x2, int y2, int pen);

}  // namespace zorukan::draw
