#include "web/page_canvas.h"

#include <emscripten.h>

namespace zorukan::web {

namespace {

EM_JS(void, canvas_clip, (int x, int y, int w, int h), { Module.zorukanCanvas.clip(x, y, w, h); });
EM_JS(void, canvas_unclip, (), { Module.zorukanCanvas.unclip(); });
EM_JS(void, canvas_fill, (int x, int y, int w, int h, int rgb), { Module.zorukanCanvas.fill(x, y, w, h, rgb); });
EM_JS(void, canvas_picture, (int id, int x, int y, int w, int h), {
    Module.zorukanCanvas.picture(id, x, y, w, h);
});
EM_JS(void, canvas_text, (int x, int y, int w, const char* text, int length, int font, int size, int rgb), {
    Module.zorukanCanvas.text(x, y, w, UTF8ToString(text, length), font, size, rgb);
});

int packed(scene::Rgb c) { return c.r << 16 | c.g << 8 | c.b; }

}  // namespace

void PageCanvas::clip(const draw::Rect& area) {
    clip_ = area;
    if (page_clipped_) canvas_unclip();
    page_clipped_ = false;
}

void PageCanvas::clip_page() {
    if (page_clipped_) return;
    canvas_clip(clip_.x, clip_.y, clip_.w, clip_.h);
    page_clipped_ = true;
}

void PageCanvas::fill(const draw::Rect& area, scene::Rgb colour) {
    const draw::Rect cut = area.intersected(clip_);
    if (!cut.empty()) canvas_fill(cut.x, cut.y, cut.w, cut.h, packed(colour));
}

void PageCanvas::picture(scene::PictureId id, const draw::Rect& area) {
    if (!area.intersects(clip_)) return;
    clip_page();
    canvas_picture(static_cast<int>(id), area.x, area.y, area.w, area.h);
}

void PageCanvas::text(const draw::Rect& box, std::string_view text, scene::FontId font, int pixel_size,
                      scene::Rgb colour) {
    // A line wholly outside the clip is not set at all: setting glyphs is the
    // dearest call. Its letters may reach a quarter of their size above the
    // box's top, and twice their size below it.
    if (box.x >= clip_.right() || box.right() <= clip_.x || box.y - pixel_size / 4.0 >= clip_.bottom() ||
        box.y + 2 * pixel_size <= clip_.y) {
        return;
    }
    clip_page();
    canvas_text(box.x, box.y, box.w, text.data(), static_cast<int>(text.size()), static_cast<int>(font), pixel_size,
                packed(colour));
}

}  // namespace zorukan::web
