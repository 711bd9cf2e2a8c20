#pragma once
// What an event changed on the window: the scene as last painted, compared
// with the scene now. Both front ends ask after every event and repaint only
// the areas that come back. Areas are in scene pixels; Painter::to_device
// maps them onto the canvas.

#include <vector>

#include "draw/canvas.h"
#include "runtime/trace.h"
#include "scene/control_rules.h"
#include "scene/form1.h"

namespace zorukan::draw {

// The scene pixels a segment of the trace covers.
Rect segment_area(const runtime::Segment& segment);

class Damage {
public:
    explicit Damage(const scene::Form1& form, const scene::ControlLook& look = {});

    // The areas whose pixels differ from the last call (or the construction),
    // as few and as small as the changed controls allow.
    std::vector<Rect> changes(const scene::Form1& form, const scene::ControlLook& look = {});

    // What each control of the drawing order shows and where: enough to tell
    // whether it must be repainted.
    struct Drawn {
        Rect area;
        int content = 0;  // the picture shown, for pictures; the look, for controls
        bool visible = true;
        bool shape = false;  // a filled rectangle, whose width may change alone
        friend bool operator==(const Drawn&, const Drawn&) = default;
    };

private:
    std::vector<Drawn> drawn_;
};

}  // namespace zorukan::draw
