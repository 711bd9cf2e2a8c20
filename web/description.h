#pragma once
// What the page is told once, at start: the window's caption, size and
// colour, the picture files and fonts by their ids, the arrow keys by theirs,
// and the controls that take the focus, in tab order, with what the page's
// own elements need of them (kind, name, naming label, range, text limit).
// Everything that changes reaches the page later as drawing calls and as
// control states.

#include <string>
#include <string_view>
#include <vector>

#include "scene/form1.h"

namespace zorukan::web {

std::string description(const scene::Form1& form);

// The controls that take the focus (buttons, text box, scroll bar), in tab
// order: the order of the description's controls.
std::vector<scene::ControlRef> focusable(const scene::Form1& form);
std::string_view name_of(const scene::ControlRef& control);

}  // namespace zorukan::web
