#pragma once
// The six pictures of the scene: their files in assets/ and their natural
// sizes in pixels (shown unscaled, 15 twips a pixel). Listed in the order
// the web page asks for them: those the window shows from the start first.

#include <array>
#include <string_view>

#include "scene/controls.h"
#include "scene/rect.h"

namespace zorukan::scene {

struct PictureInfo {
    PictureId id;
    std::string_view file;
    int width_px, height_px;
};

inline constexpr std::array<PictureInfo, 6> kPictures{{
    {PictureId::Sky, "sky.gif", 585, 222},
    {PictureId::Panel, "panel.gif", 585, 67},
    {PictureId::TvIntact, "tv.gif", 21, 17},
    {PictureId::CannonBody, "cannon_body.gif", 17, 17},
    {PictureId::TvBroken, "tv_broken.gif", 21, 17},
    {PictureId::Explosion, "explosion.gif", 26, 14},
}};

constexpr const PictureInfo& picture_info(PictureId id) {
    for (const PictureInfo& info : kPictures) {
        if (info.id == id) return info;
    }
    return kPictures.front();  // unreachable: every id is listed above
}

// A picture is shown at its natural size, whatever the control's size.
inline Rect picture_rect(const Picture& p) {
    const PictureInfo& info = picture_info(p.picture);
    return {pixels(p.Left), pixels(p.Top), info.width_px, info.height_px};
}

}  // namespace zorukan::scene
