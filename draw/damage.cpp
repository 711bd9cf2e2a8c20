#include "draw/damage.h"

#include <algorithm>
#include <optional>
#include <variant>

#include "scene/pictures.h"
#include "draw/control_look.h"
#include "draw/raster.h"

namespace zorukan::draw {

namespace {

using Drawn = Damage::Drawn;

struct DrawnOf {
    const scene::ControlLook& look;
    Drawn operator()(const scene::Picture* p) const {
        return {scene::picture_rect(*p), static_cast<int>(p->picture), p->Visible};
    }
    Drawn operator()(const scene::Shape* s) const {
        // A zero width still paints the border's vertical line.
        Rect area = scene::pixel_rect(*s);
        area.w = std::max(area.w, 1);
        return {area, 0, true, true};
    }
    Drawn operator()(const scene::Line* l) const {
        return {line_bounds(scene::pixels(l->X1), scene::pixels(l->Y1), scene::pixels(l->X2), scene::pixels(l->Y2),
                            l->BorderWidth)};
    }
    Drawn operator()(const scene::Label* l) const {
        return {scene::pixel_rect(*l)};
    }
    template <typename Control>
    Drawn operator()(const Control* c) const {
        return {scene::pixel_rect(*c), look_key(*c, look)};
    }
};

std::vector<Drawn> drawn_scene(const scene::Form1& form, const scene::ControlLook& look) {
    std::vector<Drawn> drawn;
    for (const scene::ControlRef& control : form.drawing_order()) drawn.push_back(std::visit(DrawnOf{look}, control));
    return drawn;
}

Rect painted(const Drawn& drawn) { return drawn.visible ? drawn.area : Rect{}; }

// A filled rectangle that only grew or shrank to the right (the power bar as
// the gauge swings) changes from the old right border, which becomes fill,
// to the further right edge; the rest of it stays as it was.
std::optional<Rect> stretched(const Drawn& before, const Drawn& after) {
    const Rect& a = before.area;
    const Rect& b = after.area;
    if (!before.shape || !after.shape || a.x != b.x || a.y != b.y || a.h != b.h) return std::nullopt;
    const int from = std::min(a.right(), b.right()) - 1;
    return Rect{from, a.y, std::max(a.right(), b.right()) - from, a.h};
}

// Overlapping areas become one, so no pixel is painted twice for one event.
void add(std::vector<Rect>& areas, Rect area) {
    if (area.empty()) return;
    for (auto it = areas.begin(); it != areas.end();) {
        if (it->intersects(area)) {
            area = area.united(*it);
            areas.erase(it);
            it = areas.begin();
        } else {
            ++it;
        }
    }
    areas.push_back(area);
}

}  // namespace

Rect segment_area(const runtime::Segment& s) {
    return line_bounds(scene::pixels(s.x1), scene::pixels(s.y1), scene::pixels(s.x2), scene::pixels(s.y2), 1);
}

Damage::Damage(const scene::Form1& form, const scene::ControlLook& look) : drawn_(drawn_scene(form, look)) {}

std::vector<Rect> Damage::changes(const scene::Form1& form, const scene::ControlLook& look) {
    std::vector<Drawn> now = drawn_scene(form, look);
    std::vector<Rect> areas;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (drawn_[i] == now[i]) continue;
        if (const auto strip = stretched(drawn_[i], now[i])) {
            add(areas, *strip);
            continue;
        }
        add(areas, painted(drawn_[i]));
        add(areas, painted(now[i]));
    }
    drawn_ = std::move(now);
    return areas;
}

}  // namespace zorukan::draw
