#pragma once
// Paints the scene through a Canvas: the window's colour, then Form1's
// drawing order back to front (pictures, shapes, lines, labels), then the
// trace, then the buttons, the angle box and the scroll bar, which lie above
// everything. Lines, borders and the trace are turned into pixels here,
// on the scene's pixel grid, and every scene pixel becomes the device pixels
// between its rounded edges; so a border always encloses its fill, and a
// repaint of part of the window puts down exactly the pixels a whole paint
// would, at any scale.

#include "draw/canvas.h"
#include "runtime/trace.h"
#include "scene/control_rules.h"
#include "scene/form1.h"

namespace zorukan::draw {

class Painter {
public:
    // `scale`: device pixels per scene pixel (the device pixel ratio, times
    // any zoom the front end applies). 1 at the scene's own size.
    explicit Painter(double scale = 1.0);

    double scale() const { return scale_; }

    // The whole window in device pixels.
    Rect window() const;

    // The device pixels that an area of scene pixels covers.
    Rect to_device(const Rect& scene_pixels) const;

    // Repaints the device pixels of `area`, and nothing outside it; the
    // controls as `look` says (by default: no focus, nothing held).
    void paint(Canvas& canvas, const scene::Form1& form, const runtime::Trace& trace, const Rect& area,
               const scene::ControlLook& look = {}) const;

private:
    int device(int scene_pixel) const;
    void fill(Canvas& canvas, const Rect& scene_pixels, scene::Rgb colour) const;

    double scale_;
};

}  // namespace zorukan::draw
