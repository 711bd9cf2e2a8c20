#pragma once
// The page's 2D canvas as the painter's Canvas: every call goes straight to
// the page's few drawing primitives (page.js), in the canvas's device pixels.

#include "draw/canvas.h"

namespace zorukan::web {

class PageCanvas final : public draw::Canvas {
public:
    void clip(const draw::Rect& area) override;
    void fill(const draw::Rect& area, scene::Rgb colour) override;
    void picture(scene::PictureId id, const draw::Rect& area) override;
    void text(const draw::Rect& box, std::string_view text, scene::FontId font, int pixel_size,
              scene::Rgb colour) override;
};

}  // namespace zorukan::web
