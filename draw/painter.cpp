#include "draw/painter.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <type_traits>
#include <vector>
#include <variant>

#include "scene/pictures.h"
#include "draw/control_look.h"
#include "draw/raster.h"

namespace zorukan::draw {

namespace {

constexpr scene::Rgb kBlack{0, 0, 0};

}  // namespace

Painter::Painter(double scale) : scale_(scale) {}

int Painter::device(int scene_pixel) const { return scene::round_to_int(scene_pixel * scale_); }

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

void Painter::paint(Canvas& canvas, const scene::Form1& form, const runtime::Trace& trace, const Rect& wanted,
                    const scene::ControlLook& look) const {
    const Rect area = wanted.intersected(window());
    if (area.empty()) return;
    canvas.clip(area);
    // What lies wholly outside the area is skipped, tested in scene pixels
    // against the area grown by one; the canvas clips the rest.
    const int left = static_cast<int>(std::floor(area.x / scale_)) - 1;
    const int top = static_cast<int>(std::floor(area.y / scale_)) - 1;
    const Rect near{left, top, static_cast<int>(std::ceil(area.right() / scale_)) + 1 - left,
                    static_cast<int>(std::ceil(area.bottom() / scale_)) + 1 - top};
    const auto touches = [&near](const Rect& scene_pixels) { return near.intersects(scene_pixels); };

    std::vector<Rect> runs;
    const auto fill_runs = [&] {
        for (const Rect& run : runs) {
            const Rect device = to_device(run);
            if (device.intersects(area)) canvas.fill(device, kBlack);
        }
        runs.clear();
    };
    const auto line = [&](int x1, int y1, int x2, int y2, int pen) {
        if (!touches(line_bounds(x1, y1, x2, y2, pen))) return;
        line_pixels(x1, y1, x2, y2, pen, runs, near);
        fill_runs();
    };

    const auto draw = [&](const auto* control) {
        using Kind = std::remove_cvref_t<decltype(*control)>;
        if constexpr (std::is_same_v<Kind, scene::Picture>) {
            const Rect at = scene::picture_rect(*control);
            if (control->Visible && touches(at)) canvas.picture(control->picture, to_device(at));
        } else if constexpr (std::is_same_v<Kind, scene::Shape>) {
            const Rect r = scene::pixel_rect(*control);
            if (!touches({r.x, r.y, std::max(r.w, 1), r.h})) return;
            if (r.w <= 1) {
                fill(canvas, {r.x, r.y, 1, r.h}, kBlack);  // too narrow to fill: only the border's line
                return;
            }
            // The fill, then its border; a side that misses the area is skipped.
            const Rect parts[] = {r, {r.x, r.y, r.w, 1}, {r.x, r.bottom() - 1, r.w, 1}, {r.x, r.y, 1, r.h},
                                  {r.right() - 1, r.y, 1, r.h}};
            for (const Rect& part : parts)
                if (touches(part)) fill(canvas, part, &part == parts ? control->fill : kBlack);
        } else if constexpr (std::is_same_v<Kind, scene::Line>) {
            line(scene::pixels(control->X1), scene::pixels(control->Y1), scene::pixels(control->X2),
                 scene::pixels(control->Y2), control->BorderWidth);
        } else if constexpr (std::is_same_v<Kind, scene::Label>) {
            const scene::FontSpec& font = scene::font_spec(control->font);
            const int size = scene::font_pixels(font.points);
            // Glyphs may reach a little past the label's box; so may the test.
            const Rect box = scene::pixel_rect(*control);
            const int reach = size / 2;
            if (!touches({box.x - reach, box.y - reach, box.w + 2 * reach, box.h + 2 * reach})) return;
            canvas.text(to_device(box), control->Caption, control->font, scene::round_to_int(size * scale_),
                        kBlack);
        }
        // The buttons, the text box and the scroll bar are painted last.
    };
    // What lies behind a filled rectangle that covers the whole area cannot
    // show (the gauge's white behind the power bar as it swings): the paint
    // starts there.
    const auto order = form.drawing_order();
    auto back = order.rbegin();
    bool covered = false;
    for (auto control = order.begin(); control != order.end(); ++control) {
        const auto* shape = std::get_if<const scene::Shape*>(&*control);
        if (!shape || scene::pixel_rect(**shape).w <= 1) continue;
        if (to_device(scene::pixel_rect(**shape)).intersected(area) == area) {
            back = std::make_reverse_iterator(std::next(control));
            covered = true;
            break;
        }
    }
    if (!covered) canvas.fill(area, scene::Form1::BackColor);
    std::for_each(back, order.rend(), [&](const scene::ControlRef& control) { std::visit(draw, control); });

    // A flight tick repaints only around its newest segment, and the trace
    // may hold a thousand more: whole runs of it, then single segments, are
    // first tested in twips.
    const float twips = scene::kTwipsPerPixel;
    const runtime::Trace::Bounds near_twips{static_cast<float>(near.x) * twips, static_cast<float>(near.y) * twips,
                                            static_cast<float>(near.right()) * twips,
                                            static_cast<float>(near.bottom()) * twips};
    const auto apart = [&near_twips](const runtime::Trace::Bounds& b) {
        return b.right < near_twips.left || b.left > near_twips.right || b.bottom < near_twips.top ||
               b.top > near_twips.bottom;
    };
    const auto& segments = trace.segments();
    for (std::size_t run = 0; run < trace.run_bounds().size(); ++run) {
        if (apart(trace.run_bounds()[run])) continue;
        const std::size_t end = std::min(segments.size(), (run + 1) * runtime::Trace::kRun);
        for (std::size_t i = run * runtime::Trace::kRun; i < end; ++i) {
            const runtime::Segment& s = segments[i];
            if (apart({std::min(s.x1, s.x2), std::min(s.y1, s.y2), std::max(s.x1, s.x2), std::max(s.y1, s.y2)})) continue;
            // Gathered, so that a segment goes on from the one before it.
            line_pixels(scene::pixels(s.x1), scene::pixels(s.y1), scene::pixels(s.x2), scene::pixels(s.y2), 1, runs,
                        near);
        }
    }
    fill_runs();

    // The controls lie above everything, the trace too.
    const FillScenePixels fill_part = [&](const Rect& part, scene::Rgb colour) {
        if (touches(part)) fill(canvas, part, colour);
    };
    if (touches(scene::pixel_rect(form.HScroll1))) paint_scroll_bar(form.HScroll1, look, fill_part);
    if (touches(scene::pixel_rect(form.Text1))) paint_text_box(form.Text1, look, fill_part);
    for (const scene::CommandButton* button : {&form.Cmd_Start, &form.Cmd_Set})
        if (touches(scene::pixel_rect(*button))) paint_button(*button, look, fill_part);
}

}  // namespace zorukan::draw
