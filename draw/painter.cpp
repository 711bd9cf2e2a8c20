#include "draw/painter.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <variant>

#include "draw/raster.h"
#include "scene/pictures.h"

namespace zorukan::draw {

namespace {

constexpr scene::Rgb kBlack{0, 0, 0};

template <typename Control>
Rect scene_rect(const Control& c) {
    return {scene::pixels(c.Left), scene::pixels(c.Top), scene::pixels(c.Width), scene::pixels(c.Height)};
}

}  // namespace

Painter::Painter(double scale) : scale_(scale) {}

int Painter::device(int scene_pixel) const { return static_cast<int>(std::lround(scene_pixel * scale_)); }

Rect Painter::to_device(const Rect& r) const {
    const int left = device(r.x), top = device(r.y);
    return {left, top, device(r.right()) - left, device(r.bottom()) - top};
}

Rect Painter::window() const {
    return to_device({0, 0, scene::pixels(scene::Form1::ClientWidth), scene::pixels(scene::Form1::ClientHeight)});
}

void Painter::fill(Canvas& canvas, const Rect& scene_pixels, scene::Rgb colour) const {
    canvas.fill(to_device(scene_pixels), colour);
}

void Painter::paint(Canvas& canvas, const scene::Form1& form, const runtime::Trace& trace, const Rect& wanted) const {
    const Rect area = wanted.intersected(window());
    if (area.empty()) return;
    canvas.clip(area);
    canvas.fill(area, scene::Form1::BackColor);
    // What lies wholly outside the area is skipped; the canvas clips the rest.
    const auto touches = [&](const Rect& scene_pixels) { return to_device(scene_pixels).intersects(area); };

    const auto line = [&](int x1, int y1, int x2, int y2, int pen) {
        if (!touches(line_bounds(x1, y1, x2, y2, pen))) return;
        for (const Rect& run : line_pixels(x1, y1, x2, y2, pen))
            if (touches(run)) fill(canvas, run, kBlack);
    };

    const auto draw = [&](const auto* control) {
        using Kind = std::remove_cvref_t<decltype(*control)>;
        if constexpr (std::is_same_v<Kind, scene::Picture>) {
            const scene::PictureInfo& info = scene::picture_info(control->picture);
            const Rect at{scene::pixels(control->Left), scene::pixels(control->Top), info.width_px, info.height_px};
            if (control->Visible && touches(at)) canvas.picture(control->picture, to_device(at));
        } else if constexpr (std::is_same_v<Kind, scene::Shape>) {
            const Rect r = scene_rect(*control);
            if (!touches({r.x, r.y, std::max(r.w, 1), r.h})) return;
            if (r.w <= 1) {
                fill(canvas, {r.x, r.y, 1, r.h}, kBlack);  // too narrow to fill: only the border's line
                return;
            }
            fill(canvas, r, control->fill);
            fill(canvas, {r.x, r.y, r.w, 1}, kBlack);
            fill(canvas, {r.x, r.bottom() - 1, r.w, 1}, kBlack);
            fill(canvas, {r.x, r.y, 1, r.h}, kBlack);
            fill(canvas, {r.right() - 1, r.y, 1, r.h}, kBlack);
        } else if constexpr (std::is_same_v<Kind, scene::Line>) {
            line(scene::pixels(control->X1), scene::pixels(control->Y1), scene::pixels(control->X2),
                 scene::pixels(control->Y2), control->BorderWidth);
        } else if constexpr (std::is_same_v<Kind, scene::Label>) {
            const scene::FontSpec& font = scene::font_spec(control->font);
            const int size = scene::font_pixels(font.points);
            // Glyphs may reach a little past the label's box; so may the test.
            const Rect box = scene_rect(*control);
            if (!touches({box.x - size, box.y - size, box.w + 2 * size, box.h + 2 * size})) return;
            canvas.text(to_device(box), control->Caption, control->font, static_cast<int>(std::lround(size * scale_)),
                        kBlack);
        }
        // The buttons, the text box and the scroll bar are the front end's own.
    };
    const auto order = form.drawing_order();
    std::for_each(order.rbegin(), order.rend(), [&](const scene::ControlRef& control) { std::visit(draw, control); });

    for (const runtime::Segment& s : trace.segments())
        line(scene::pixels(s.x1), scene::pixels(s.y1), scene::pixels(s.x2), scene::pixels(s.y2), 1);
}

}  // namespace zorukan::draw
