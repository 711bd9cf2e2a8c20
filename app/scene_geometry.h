#pragma once
// Where the scene's controls land in pixels. The scene keeps twips as
// singles; only drawing rounds, at 15 twips a pixel.

#include <QRect>
#include <QRegion>
#include <vector>

#include "runtime/trace.h"
#include "scene/form1.h"

namespace zorukan::app {

int px(float twips);
QPoint px(float x_twips, float y_twips);

template <typename Control>
QRect px_rect(const Control& control) {
    return {px(control.Left), px(control.Top), px(control.Width), px(control.Height)};
}

// The pixels a segment of the trace covers, with a margin for the pen.
QRect segment_area(const runtime::Segment& segment);

// What a drawn control looks like, enough to tell whether it must be
// repainted: where it paints and what it shows there.
struct Drawn {
    QRect area;
    int content = 0;  // the picture shown, for pictures
    bool visible = true;

    friend bool operator==(const Drawn&, const Drawn&) = default;
};

// One entry per control of the drawing order; the windowed controls paint
// themselves and leave an empty entry.
std::vector<Drawn> drawn_scene(const scene::Form1& form);

// The region to repaint when the scene changed from `before` to `after`.
QRegion changed_area(const std::vector<Drawn>& before, const std::vector<Drawn>& after);

}  // namespace zorukan::app
