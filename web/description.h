#pragma once
// What the page is told once, at start: the window's caption and size, the
// picture files and fonts by their ids, the keys the controls take by their
// ids (scene::Key), and the controls that assistive technology reads, the
// ones that take the focus first and in tab order, with what the page's own
// elements need of them (kind, name, naming label, range, text limit).
// Everything that changes reaches the page later as drawing calls and as
// control states.

#include <string>

#include "scene/form1.h"

namespace zorukan::web {

std::string description(const scene::Form1& form);

}  // namespace zorukan::web
