#pragma once
// The one drawing interface of the game. The painter (painter.h) decides
// every pixel of the scene and hands them to a Canvas as whole rectangles of
// one colour, placed pictures and lines of text; each front end implements
// these few calls with its own toolkit (a QPainter, a browser's 2D canvas, a
// pixel buffer in the tests). Every coordinate is in the canvas's own device
// pixels, so a front end never converts a unit.

#include <string_view>

#include "scene/controls.h"
#include "scene/rect.h"

namespace zorukan::draw {

// Every rectangle is in whole device pixels.
using scene::Rect;

class Canvas {
public:
    virtual ~Canvas() = default;

    // Everything drawn from now until the next call lands inside `area` only.
    // The painter opens every repaint with it.
    virtual void clip(const Rect& area) = 0;

    // Fills `area` with one opaque colour.
    virtual void fill(const Rect& area, scene::Rgb colour) = 0;

    // One of the scene's pictures stretched, nearest pixel, over `area`
    // exactly (its natural size at scale 1); its transparent pixels leave
    // what lies behind.
    virtual void picture(scene::PictureId id, const Rect& area) = 0;

    // One line of text at the top left of `box`, its letters `pixel_size`
    // high in the scene's font `font`. The front end's font engine sets the
    // glyphs and may close the letters up so that the text fits the box's
    // width; nothing is clipped to the box.
    virtual void text(const Rect& box, std::string_view text, scene::FontId font, int pixel_size,
                      scene::Rgb colour) = 0;
};

}  // namespace zorukan::draw
