#include "scene/control_rules.h"

#include <algorithm>
#include <cmath>

namespace zorukan::scene {

namespace {

bool inside(const Rect& r, double x, double y) {
    return r.contains(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

// How far (x, y) lies from a rectangle, squared; 0 inside it.
double distance2(const Rect& r, double x, double y) {
    const double dx = std::max({r.x - x, 0.0, x - r.right()});
    const double dy = std::max({r.y - y, 0.0, y - r.bottom()});
    return dx * dx + dy * dy;
}

}  // namespace

BarLayout BarLayout::of(const HScrollBar& bar, std::int16_t value) {
    const Rect r = pixel_rect(bar);
    const int side = r.h;
    BarLayout layout;
    layout.less = {r.x, r.y, side, side};
    layout.more = {r.right() - side, r.y, side, side};
    layout.track = {r.x + side, r.y, r.w - 2 * side, side};
    const int travel = layout.track.w - kThumbWidth;
    const int along = round_to_int(static_cast<double>(value - bar.Min) * travel / (bar.Max - bar.Min));
    layout.thumb = {layout.track.x + along, r.y, kThumbWidth, side};
    return layout;
}

BarPart BarLayout::part_at(double x) const {
    if (x < less.x || x >= more.right()) return BarPart::None;
    if (x < less.right()) return BarPart::LessArrow;
    if (x >= more.x) return BarPart::MoreArrow;
    if (x < thumb.x) return BarPart::LessTrack;
    if (x < thumb.right()) return BarPart::Thumb;
    return BarPart::MoreTrack;
}

std::int16_t bar_value_at(const HScrollBar& bar, double x, double grab) {
    const BarLayout at_min = BarLayout::of(bar, bar.Min);
    const int travel = at_min.track.w - BarLayout::kThumbWidth;
    const double along = (x - grab - at_min.track.x) / travel;
    const int value = bar.Min + round_to_int(along * (bar.Max - bar.Min));
    return static_cast<std::int16_t>(std::clamp(value, int{bar.Min}, int{bar.Max}));
}

ControlRules::ControlRules(Form1& form, ControlEvents& events) : form_(form), events_(events) {}

Rect ControlRules::target(const Rect& control, PointerKind kind, double css_per_pixel) {
    if (kind == PointerKind::Mouse) return control;
    const int side = static_cast<int>(std::ceil(kTouchTargetCss / css_per_pixel));
    const int grow_w = std::max(0, side - control.w), grow_h = std::max(0, side - control.h);
    return control.adjusted(grow_w / 2, grow_h / 2, grow_w - grow_w / 2, grow_h - grow_h / 2);
}

bool ControlRules::can_focus(std::string_view control) const {
    if (events_.halted()) return false;
    if (const CommandButton* button = form_.button(control)) return button->Enabled;
    return control == form_.Text1.name || control == form_.HScroll1.name;
}

ControlLook ControlRules::look() const {
    ControlLook look;
    look.focus = focus_;
    look.focus_shown = active_;
    if (press_ == Press::Button && over_) look.pushed = button_->name;
    if (press_ == Press::Arrow && over_) look.held = part_;
    if (press_ == Press::Thumb) look.thumb = drag_;
    look.halted = events_.halted();
    return look;
}

void ControlRules::focus_on(std::string_view control) {
    for (const std::string_view focusable : kFocusable)
        if (focusable == control && can_focus(control)) focus_ = focusable;
}

void ControlRules::settle() {
    if (events_.halted()) return;
    if (focus_.empty()) {
        // At load: the first control in tab order that can take the focus.
        for (const std::string_view control : kFocusable) {
            if (can_focus(control)) {
                focus_ = control;
                break;
            }
        }
        return;
    }
    const std::string_view next = form_.focus_after(focus_);
    for (const std::string_view control : kFocusable)
        if (control == next) focus_ = control;
}

void ControlRules::tab(int direction) {
    const auto n = static_cast<int>(kFocusable.size());
    const auto held = std::find(kFocusable.begin(), kFocusable.end(), focus_);
    const int from = held == kFocusable.end() ? (direction > 0 ? n - 1 : 0) : static_cast<int>(held - kFocusable.begin());
    for (int i = 1; i <= n; ++i) {
        const std::string_view next = kFocusable.at(static_cast<std::size_t>(((from + direction * i) % n + n) % n));
        if (can_focus(next)) {
            focus_ = next;
            return;
        }
    }
}

bool ControlRules::key_down(Key key, bool repeat) {
    if (events_.halted()) return false;
    if (key == Key::Tab || key == Key::BackTab) {
        tab(key == Key::Tab ? 1 : -1);
        return true;
    }
    const auto arrow = [key]() -> std::optional<Arrow> {
        switch (key) {
        case Key::Left: return Arrow::Left;
        case Key::Right: return Arrow::Right;
        case Key::Up: return Arrow::Up;
        case Key::Down: return Arrow::Down;
        default: return std::nullopt;
        }
    }();
    const HScrollBar& bar = form_.HScroll1;
    if (CommandButton* button = form_.button(focus_)) {
        if (key == Key::Space || key == Key::Enter) {
            // A held key presses once: its repeats would set and then fire.
            if (!repeat) events_.click(*button);
            settle();
            return true;
        }
        if (!arrow) return false;
        // The barrel turns a step and the focus stays, so Space, Space still
        // sets and fires.
        events_.scroll_to(form_.arrow_on_button(*arrow));
        return true;
    }
    if (focus_ != bar.name) return false;  // the angle box's keys are its text entry's
    if (arrow) events_.scroll_to(bar.after(*arrow));
    else if (key == Key::PageUp) events_.scroll_to(bar.after_track_click(bar.Max));
    else if (key == Key::PageDown) events_.scroll_to(bar.after_track_click(bar.Min));
    else if (key == Key::Home) events_.scroll_to(bar.Min);
    else if (key == Key::End) events_.scroll_to(bar.Max);
    else return false;
    return true;
}

bool ControlRules::pointer_down(double x, double y, PointerKind kind, double css_per_pixel) {
    if (press_ != Press::None || events_.halted()) return false;
    // The control whose target holds the point; where a finger's targets
    // overlap, the control nearest to it.
    const Rect places[] = {pixel_rect(form_.Cmd_Start), pixel_rect(form_.Cmd_Set), pixel_rect(form_.Text1),
                           pixel_rect(form_.HScroll1)};
    int hit = -1;
    double nearest = 0;
    for (int i = 0; i < 4; ++i) {
        const Rect& place = places[i];
        if (!inside(target(place, kind, css_per_pixel), x, y)) continue;
        if (hit < 0 || distance2(place, x, y) < nearest) {
            hit = i;
            nearest = distance2(place, x, y);
        }
    }
    if (hit < 0) return false;
    kind_ = kind;
    css_per_pixel_ = css_per_pixel;
    down_x_ = at_x_ = x;
    at_y_ = y;
    over_ = true;
    repeats_ = 0;
    const std::string_view name = kFocusable.at(static_cast<std::size_t>(hit));
    if (CommandButton* button = form_.button(name)) {
        if (!button->Enabled) return true;
        focus_ = name;
        press_ = Press::Button;
        button_ = button;
        return true;
    }
    focus_on(name);
    if (name == form_.Text1.name) return true;

    const HScrollBar& bar = form_.HScroll1;
    const BarLayout layout = BarLayout::of(bar, bar.Value);
    const Rect& r = places[hit];
    const double along = std::clamp(x, static_cast<double>(r.x), r.right() - 0.5);
    part_ = layout.part_at(along);
    if (part_ == BarPart::Thumb) {
        press_ = Press::Thumb;
        grab_ = along - layout.thumb.x;
        drag_ = bar.Value;
    } else if (part_ == BarPart::LessArrow || part_ == BarPart::MoreArrow) {
        press_ = Press::Arrow;
        step_held();
    } else if (kind == PointerKind::Touch) {
        // A finger on the track steps when it is lifted, or drags the thumb
        // when it moves.
        press_ = Press::TouchOnTrack;
    } else {
        press_ = Press::Track;
        step_held();
    }
    return true;
}

void ControlRules::pointer_move(double x, double y) {
    at_x_ = x;
    at_y_ = y;
    const HScrollBar& bar = form_.HScroll1;
    switch (press_) {
    case Press::None: return;
    case Press::Button: over_ = inside(target(pixel_rect(*button_), kind_, css_per_pixel_), x, y); return;
    case Press::Arrow:
    case Press::Track:
        over_ = inside(target(pixel_rect(bar), kind_, css_per_pixel_), x, y) &&
                BarLayout::of(bar, bar.Value).part_at(x) == part_;
        return;
    case Press::TouchOnTrack:
        if (std::abs(x - down_x_) * css_per_pixel_ < kDragSlopCss) return;
        // The thumb comes under the finger and follows it.
        press_ = Press::Thumb;
        grab_ = BarLayout::kThumbWidth / 2.0;
        [[fallthrough]];
    case Press::Thumb: drag_ = bar_value_at(bar, x, grab_); return;
    }
}

void ControlRules::pointer_up(double x, double y) {
    pointer_move(x, y);
    const HScrollBar& bar = form_.HScroll1;
    const Press press = press_;
    const bool over = over_;
    CommandButton* button = button_;
    release_held();
    if (press == Press::Button && over) events_.click(*button);
    if (press == Press::Thumb) events_.scroll_to(bar_value_at(bar, x, grab_));
    if (press == Press::TouchOnTrack) events_.scroll_to(bar.after_track_click(bar_value_at(bar, x, BarLayout::kThumbWidth / 2.0)));
    settle();
}

void ControlRules::pointer_cancel() { release_held(); }

void ControlRules::release_held() {
    press_ = Press::None;
    button_ = nullptr;
    part_ = BarPart::None;
    drag_.reset();
    over_ = false;
}

std::optional<int> ControlRules::repeat_in_ms() const {
    if (press_ != Press::Arrow && press_ != Press::Track) return std::nullopt;
    return repeats_ <= 1 ? kRepeatDelayMs : kRepeatIntervalMs;
}

void ControlRules::repeat() {
    if (press_ != Press::Arrow && press_ != Press::Track) return;
    pointer_move(at_x_, at_y_);  // the thumb may have come under the pointer
    if (over_) step_held();
    else ++repeats_;
}

void ControlRules::step_held() {
    ++repeats_;
    if (events_.halted()) return;
    const HScrollBar& bar = form_.HScroll1;
    if (part_ == BarPart::LessArrow) events_.scroll_to(bar.after(Arrow::Left));
    else if (part_ == BarPart::MoreArrow) events_.scroll_to(bar.after(Arrow::Right));
    else events_.scroll_to(bar.after_track_click(bar_value_at(bar, at_x_, BarLayout::kThumbWidth / 2.0)));
}

}  // namespace zorukan::scene
