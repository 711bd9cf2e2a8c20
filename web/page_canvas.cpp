#include "web/page_canvas.h"

#include <emscripten.h>

namespace zorukan::web {

namespace {

EM_JS(void, canvas_clip, (int x, int y, int w, int h), { Module.zorukanCanvas.clip(x, y, w, h); });
EM_JS(void, canvas_fill, (int x, int y, int w, int h, int rgb), { Module.zorukanCanvas.fill(x, y, w, h, rgb); });
EM_JS(void, canvas_picture, (int id, int x, int y, int w, int h), {
    Module.zorukanCanvas.picture(id, x, y, w, h);
});
EM_JS(void, canvas_text, (int x, int y, int w, const char* text, int length, int font, int size, int rgb), {
    Module.zorukanCanvas.text(x, y, w, UTF8ToString(text, length), font, size, rgb);
});

int packed(scene::Rgb c) { return c.r << 16 | c.g << 8 | c.b; }

}  // namespace

void PageCanvas::clip(const draw::Rect& area) { canvas_clip(area.x, area.y, area.w, area.h); }

void PageCanvas::fill(const draw::Rect& area, scene::Rgb colour) {
    canvas_fill(area.x, area.y, area.w, area.h, packed(colour));
}

void PageCanvas::picture(scene::PictureId id, const draw::Rect& area) {
    canvas_picture(static_cast<int>(id), area.x, area.y, area.w, area.h);
}

void PageCanvas::text(const draw::Rect& box, std::string_view text, scene::FontId font, int pixel_size,
                      scene::Rgb colour) {
    canvas_text(box.x, box.y, box.w, text.data(), static_cast<int>(text.size()), static_cast<int>(font), pixel_size,
                packed(colour));
}

}  // namespace zorukan::web
