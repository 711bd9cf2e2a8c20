#pragma once
// The page's 2D canvas as the painter's Canvas: the calls go to the page's
// few drawing primitives (page.js), in the canvas's device pixels. Fills are
// cut to the clip here, so that the page sets its canvas's clip, a dear
// change of its state, only before a picture or a line of text; the power
// gauge's every tick is then fills alone.

#include "draw/canvas.h"

namespace zorukan::web {

class PageCanvas final : public draw::Canvas {
public:
    void clip(const draw::Rect& area) override;
    void fill(const draw::Rect& area, scene::Rgb colour) override;
    void picture(scene::PictureId id, const draw::Rect& area) override;
    void text(const draw::Rect& box, std::string_view text, scene::FontId font, int pixel_size,
              scene::Rgb colour) override;

private:
    void clip_page();  // the page's clip is `clip_` from now on

    draw::Rect clip_;
    // The page's canvas is clipped to `clip_`. A new size drops the canvas's
    // clip, and the repaint that follows opens with `clip`, which sets this
    // right again (unclipping an unclipped canvas does nothing).
    bool page_clipped_ = false;
};

}  // namespace zorukan::web
