#pragma once
// How the window's controls look, in scene pixels: a button raised, pushed,
// flat when it cannot be pressed, with the focus mark; the angle box's
// sunken frame; the scroll bar's arrows, track and thumb. Each part is a
// rectangle of one colour on the scene's pixel grid, so the painter puts it
// on whole device pixels like the rest of the scene and a border encloses
// its face at any scale.

#include <functional>

#include "scene/control_rules.h"
#include "scene/rect.h"

namespace zorukan::draw {

namespace colours {
inline constexpr scene::Rgb kFace{212, 208, 200};
inline constexpr scene::Rgb kLight{255, 255, 255};
inline constexpr scene::Rgb kShadow{128, 128, 128};
inline constexpr scene::Rgb kDark{0, 0, 0};
inline constexpr scene::Rgb kOffFace{158, 155, 149};  // a button that cannot be pressed
inline constexpr scene::Rgb kOffEdge{106, 104, 100};
inline constexpr scene::Rgb kTrack{234, 232, 227};
inline constexpr scene::Rgb kField{255, 255, 255};    // the angle box's background
inline constexpr scene::Rgb kHighlight{44, 141, 199}; // the focus mark
}  // namespace colours

// Receives every rectangle of a control's look, back to front.
using FillScenePixels = std::function<void(const scene::Rect&, scene::Rgb)>;

void paint_button(const scene::CommandButton& button, const scene::ControlLook& look, const FillScenePixels& fill);
void paint_text_box(const scene::TextBox& box, const scene::ControlLook& look, const FillScenePixels& fill);
void paint_scroll_bar(const scene::HScrollBar& bar, const scene::ControlLook& look, const FillScenePixels& fill);

// Where the angle box's own text entry goes: inside its frame.
scene::Rect text_entry_area(const scene::TextBox& box);

// A number that changes whenever a control's look changes.
int look_key(const scene::CommandButton& button, const scene::ControlLook& look);
int look_key(const scene::HScrollBar& bar, const scene::ControlLook& look);
int look_key(const scene::TextBox& box, const scene::ControlLook& look);

}  // namespace zorukan::draw
