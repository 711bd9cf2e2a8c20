#include "app/scene_geometry.h"

#include <QRegion>
#include <algorithm>
#include <cmath>

namespace zorukan::app {

int px(float twips) { return static_cast<int>(std::lround(twips / scene::kTwipsPerPixel)); }

QPoint px(float x_twips, float y_twips) { return {px(x_twips), px(y_twips)}; }

namespace {

QRect line_area(QPoint a, QPoint b, int pen_width) {
    const int margin = pen_width / 2 + 1;
    return QRect(a, b).normalized().adjusted(-margin, -margin, margin, margin);
}

struct AreaOf {
    Drawn operator()(const scene::Picture* p) const {
        return {px_rect(*p), static_cast<int>(p->picture), p->Visible};
    }
    Drawn operator()(const scene::Shape* s) const {
        // A zero width still paints the border's vertical line.
        QRect area = px_rect(*s);
        area.setWidth(std::max(area.width(), 1));
        return {area};
    }
    Drawn operator()(const scene::Line* l) const {
        return {line_area(px(l->X1, l->Y1), px(l->X2, l->Y2), l->BorderWidth)};
    }
    Drawn operator()(const scene::Label* l) const { return {px_rect(*l)}; }
    // Buttons, the text box and the scroll bar are widgets of their own.
    Drawn operator()(const scene::CommandButton*) const { return {}; }
    Drawn operator()(const scene::TextBox*) const { return {}; }
    Drawn operator()(const scene::HScrollBar*) const { return {}; }
};

QRect painted(const Drawn& drawn) { return drawn.visible ? drawn.area : QRect(); }

}  // namespace

QRect segment_area(const runtime::Segment& segment) {
    return line_area(px(segment.x1, segment.y1), px(segment.x2, segment.y2), 1);
}

std::vector<Drawn> drawn_scene(const scene::Form1& form) {
    std::vector<Drawn> drawn;
    for (const scene::ControlRef& control : form.drawing_order()) drawn.push_back(std::visit(AreaOf{}, control));
    return drawn;
}

QRegion changed_area(const std::vector<Drawn>& before, const std::vector<Drawn>& after) {
    QRegion region;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        if (before[i] == after[i]) continue;
        region += painted(before[i]);
        region += painted(after[i]);
    }
    return region;
}

}  // namespace zorukan::app
