#include "draw/control_look.h"

namespace zorukan::draw {

namespace {

using scene::Rect;
using namespace colours;

constexpr int kButtonFocusInset = 4;
// The thumb's mark leaves a pixel of face inside its bevel, which is one
// pixel wide above and left and two below and right.
constexpr int kThumbFocusInset = 2;
constexpr int kTextFrame = 2;

// Light above and left, shadow and black below and right.
void raised(const Rect& r, const FillScenePixels& fill) {
    fill(r, kFace);
    fill({r.x, r.y, r.w - 1, 1}, kLight);
    fill({r.x, r.y, 1, r.h - 1}, kLight);
    fill({r.x + 1, r.bottom() - 2, r.w - 2, 1}, kShadow);
    fill({r.right() - 2, r.y + 1, 1, r.h - 2}, kShadow);
    fill({r.x, r.bottom() - 1, r.w, 1}, kDark);
    fill({r.right() - 1, r.y, 1, r.h}, kDark);
}

// Held down: the bevel turned inside out.
void pushed(const Rect& r, const FillScenePixels& fill) {
    fill(r, kFace);
    fill({r.x, r.y, r.w, 1}, kDark);
    fill({r.x, r.y, 1, r.h}, kDark);
    fill({r.x + 1, r.y + 1, r.w - 2, 1}, kShadow);
    fill({r.x + 1, r.y + 1, 1, r.h - 2}, kShadow);
    fill({r.x + 1, r.bottom() - 1, r.w - 1, 1}, kLight);
    fill({r.right() - 1, r.y + 1, 1, r.h - 1}, kLight);
}

// A small triangle in the middle of an arrow button, pointing left or right.
void arrow_head(const Rect& r, bool left, bool down, scene::Rgb colour, const FillScenePixels& fill) {
    const int shift = down ? 1 : 0;
    const int cx = r.x + r.w / 2 + shift, cy = r.y + r.h / 2 + shift;
    for (int k = 0; k < 4; ++k) {
        const int x = left ? cx - 2 + k : cx + 1 - k;
        fill({x, cy - k, 1, 2 * k + 1}, colour);
    }
}

bool focused(std::string_view name, const scene::ControlLook& look) {
    return look.focus_shown && look.focus == name && !look.halted;
}

}  // namespace

void paint_button(const scene::CommandButton& button, const scene::ControlLook& look, const FillScenePixels& fill) {
    const Rect r = scene::pixel_rect(button);
    if (!button.Enabled || look.halted) {
        // Flat and darker, outlined so that it still reads as a button.
        fill(r, kOffEdge);
        fill(r.adjusted(-1, -1, -1, -1), kOffFace);
        return;
    }
    if (look.pushed == button.name) pushed(r, fill);
    else raised(r, fill);
    if (focused(button.name, look)) {
        const int in = -kButtonFocusInset;
        fill(r.adjusted(in, in, in, in), kHighlight);
    }
}

Rect text_entry_area(const scene::TextBox& box) {
    return scene::pixel_rect(box).adjusted(-kTextFrame, -kTextFrame, -kTextFrame, -kTextFrame);
}

void paint_text_box(const scene::TextBox& box, const scene::ControlLook& look, const FillScenePixels& fill) {
    // Sunken: shadow and black above and left, light and face below and right.
    const Rect r = scene::pixel_rect(box);
    fill(r, kLight);
    fill({r.x, r.y, r.w - 1, 1}, kShadow);
    fill({r.x, r.y, 1, r.h - 1}, kShadow);
    fill({r.x + 1, r.bottom() - 2, r.w - 2, 1}, kFace);
    fill({r.right() - 2, r.y + 1, 1, r.h - 2}, kFace);
    fill({r.x + 1, r.y + 1, r.w - 3, 1}, kDark);
    fill({r.x + 1, r.y + 1, 1, r.h - 3}, kDark);
    fill(text_entry_area(box), look.halted ? kFace : kField);
}

void paint_scroll_bar(const scene::HScrollBar& bar, const scene::ControlLook& look, const FillScenePixels& fill) {
    const scene::BarLayout layout = scene::BarLayout::of(bar, look.thumb.value_or(bar.Value));
    fill(layout.track, kTrack);
    const scene::Rgb head = look.halted ? kShadow : kDark;
    for (const bool left : {true, false}) {
        const Rect& r = left ? layout.less : layout.more;
        const bool down = look.held == (left ? scene::BarPart::LessArrow : scene::BarPart::MoreArrow);
        if (down) pushed(r, fill);
        else raised(r, fill);
        arrow_head(r, left, down, head, fill);
    }
    if (look.halted) return;  // no thumb on a bar that cannot be used
    raised(layout.thumb, fill);
    if (focused(bar.name, look)) {
        const int in = -kThumbFocusInset;
        fill(layout.thumb.adjusted(in, in, in - 1, in - 1), kHighlight);
    }
}

int look_key(const scene::CommandButton& button, const scene::ControlLook& look) {
    return (button.Enabled ? 1 : 0) | (focused(button.name, look) ? 2 : 0) | (look.pushed == button.name ? 4 : 0) |
           (look.halted ? 8 : 0);
}

int look_key(const scene::HScrollBar& bar, const scene::ControlLook& look) {
    const scene::BarLayout layout = scene::BarLayout::of(bar, look.thumb.value_or(bar.Value));
    return layout.thumb.x << 8 | static_cast<int>(look.held) << 2 | (focused(bar.name, look) ? 2 : 0) |
           (look.halted ? 1 : 0);
}

int look_key(const scene::TextBox&, const scene::ControlLook& look) { return look.halted ? 1 : 0; }

}  // namespace zorukan::draw
