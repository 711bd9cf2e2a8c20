#pragma once
// The scene's fonts, at the sizes in pixels the scene gives them whatever the
// desktop's DPI; a scale factor still enlarges them.

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>
#include <ostream>

#include "scene/controls.h"

namespace zorukan::app {

// Every Japanese text the game can show: window caption, labels, boxes.
QString scene_texts();

// The first of `families` that is installed and has a glyph for every
// character of `text`.
std::optional<QString> family_showing(const QStringList& families, const QString& text);

// The fonts the window uses; the first call also maps "ＭＳ Ｐゴシック" to the
// installed gothic.
QFont scene_font(scene::FontId id);

// The scene's font `id` at `pixel_size`, its letters set up to 2 pixels (at
// the scene's own size) closer together, just enough for `text` to fit
// `width` pixels: the substitute gothics run a pixel or three wider than the
// fonts the layout was drawn for.
QFont fitted_font(scene::FontId id, int pixel_size, const QString& text, int width);

// Writes one line naming the font package when no installed font can show
// the scene's texts. Returns whether it did.
bool warn_if_fonts_missing(std::ostream& err);

}  // namespace zorukan::app
