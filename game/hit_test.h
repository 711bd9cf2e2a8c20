#pragma once
// Whether the segment the shell just flew passes through a rectangle's open
// interior. Touching an edge or a corner from outside is no hit.

namespace zorukan::game {

struct Point {
    double x, y;
};

struct Box {
    double left, top, width, height;
};

bool passes_through(Point from, Point to, Box box);

}  // namespace zorukan::game
