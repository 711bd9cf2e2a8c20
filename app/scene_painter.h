#pragma once
// Paints the scene back to front from its drawing order, then the trace over
// it. The windowed controls (buttons, text box, scroll bar) are child
// widgets and paint themselves above all of this.

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <array>

#include "runtime/trace.h"
#include "scene/form1.h"
#include "scene/pictures.h"

class QPainter;

namespace zorukan::app {

// The first image of a GIF file, as colour indices with the transparent
// colour's alpha at 0; a null image when the bytes are not a whole,
// well-formed GIF. Read with giflib rather than the toolkit's image plugins,
// which cost the window more start-up time to find and load than everything
// else it draws.
QImage decode_gif(QByteArrayView bytes);

// One of the scene's pictures, read from the resources built into the
// program; a null image if it is missing or not the size the scene expects.
QImage load_picture(const scene::PictureInfo& info);

// Every picture of the scene by its id, read once for the whole program, on
// whichever thread asks first; safe to call from any thread.
const std::array<QImage, 6>& scene_pictures();

class ScenePainter {
public:
    ScenePainter();

    void paint(QPainter& painter, const scene::Form1& form, const runtime::Trace& trace) const;

    const QPixmap& picture(scene::PictureId id) const { return pictures_.at(static_cast<std::size_t>(id)); }

private:
    void draw(QPainter& painter, const scene::Picture& picture) const;
    void draw(QPainter& painter, const scene::Label& label) const;

    std::array<QPixmap, 6> pictures_;
    // Fitting a caption to its label measures its text; the captions never
    // change, so each is fitted once, not on every paint.
    mutable QHash<QString, QFont> label_fonts_;
};

}  // namespace zorukan::app
