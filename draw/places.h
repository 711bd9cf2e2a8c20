#pragma once
// Where the scene's controls lie, in scene pixels: the one rounding from the
// scene's twips that the painter, the damage and both front ends share.

#include "draw/canvas.h"
#include "scene/pictures.h"

namespace zorukan::draw {

template <typename Control>
Rect scene_rect(const Control& c) {
    return {scene::pixels(c.Left), scene::pixels(c.Top), scene::pixels(c.Width), scene::pixels(c.Height)};
}

// A picture is shown at its natural size, whatever the control's size.
inline Rect picture_rect(const scene::Picture& p) {
    const scene::PictureInfo& info = scene::picture_info(p.picture);
    return {scene::pixels(p.Left), scene::pixels(p.Top), info.width_px, info.height_px};
}

}  // namespace zorukan::draw
