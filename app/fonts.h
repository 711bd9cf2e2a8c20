#pragma once
// The scene's fonts. The layout is in pixels at 15 twips each, so font sizes
// are fixed in pixels as at 96 dots per inch (9 pt is 12 px, 8.25 pt is 11 px)
// whatever the desktop's DPI; a scale factor still enlarges them.

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

// A label's font, its letters set up to 2 pixels closer together, just
// enough for its caption to fit the label's width: the substitute gothics run
// a pixel or three wider than the fonts the layout was drawn for.
QFont label_font(const scene::Label& label);

// Writes one line naming the font package when no installed font can show
// the scene's texts. Returns whether it did.
bool warn_if_fonts_missing(std::ostream& err);

}  // namespace zorukan::app
