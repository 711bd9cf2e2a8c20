#pragma once
// The scene's six pictures, read from the resources built into the program.

#include <QByteArrayView>
#include <QImage>
#include <array>

#include "scene/pictures.h"

namespace zorukan::app {

// The first image of a GIF file, as colour indices with the transparent
// colour's alpha at 0; a null image when the bytes are not a whole,
// well-formed GIF. Read with giflib rather than the toolkit's image plugins,
// which cost the window more start-up time to find and load than everything
// else it draws.
QImage decode_gif(QByteArrayView bytes);

// One of the scene's pictures; a null image if it is missing or not the
// size the scene expects.
QImage load_picture(const scene::PictureInfo& info);

// Every picture of the scene by its id, read once for the whole program, on
// whichever thread asks first; safe to call from any thread.
const std::array<QImage, 6>& scene_pictures();

}  // namespace zorukan::app
