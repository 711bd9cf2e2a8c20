#include "app/qt_canvas.h"

#include <QPainter>

#include "app/fonts.h"
#include "app/gif_images.h"

namespace zorukan::app {

namespace {

QRect rect(const draw::Rect& r) { return {r.x, r.y, r.w, r.h}; }
QColor color(scene::Rgb rgb) { return {rgb.r, rgb.g, rgb.b}; }

}  // namespace

CanvasCache::CanvasCache() {
    const auto& images = scene_pictures();
    for (std::size_t i = 0; i < images.size(); ++i) natural_.at(i) = QPixmap::fromImage(images.at(i));
}

const QPixmap& CanvasCache::picture(scene::PictureId id, QSize size) {
    const QPixmap& natural = natural_.at(static_cast<std::size_t>(id));
    if (natural.size() == size) return natural;
    // Scaled once per size, nearest pixel, so that pixel art stays pixel art.
    const QString key = QStringLiteral("%1/%2x%3").arg(static_cast<int>(id)).arg(size.width()).arg(size.height());
    auto found = scaled_.constFind(key);
    if (found == scaled_.constEnd())
        found = scaled_.insert(key, natural.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    return *found;
}

const QFont& CanvasCache::font(scene::FontId id, int pixel_size, const QString& text, int width) {
    const QString key = QStringLiteral("%1/%2/%3/").arg(static_cast<int>(id)).arg(pixel_size).arg(width) + text;
    auto found = fonts_.constFind(key);
    if (found == fonts_.constEnd()) found = fonts_.insert(key, fitted_font(id, pixel_size, text, width));
    return *found;
}

QtCanvas::QtCanvas(QPainter& painter, CanvasCache& cache) : painter_(painter), cache_(cache), brush_(Qt::black) {
    painter_.save();
    // Undo the device pixel ratio: one unit is one device pixel, and the
    // core has already decided which pixels every shape covers.
    const qreal ratio = painter_.device()->devicePixelRatioF();
    painter_.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

QtCanvas::~QtCanvas() { painter_.restore(); }

void QtCanvas::clip(const draw::Rect& area) { painter_.setClipRect(rect(area)); }

void QtCanvas::fill(const draw::Rect& area, scene::Rgb colour) {
    if (colour != brush_colour_) {
        brush_ = QBrush(color(colour));
        brush_colour_ = colour;
    }
    painter_.fillRect(rect(area), brush_);
}

void QtCanvas::picture(scene::PictureId id, const draw::Rect& area) {
    painter_.drawPixmap(area.x, area.y, cache_.picture(id, {area.w, area.h}));
}

void QtCanvas::text(const draw::Rect& box, std::string_view text, scene::FontId font, int pixel_size,
                    scene::Rgb colour) {
    const QString caption = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    painter_.setPen(color(colour));
    painter_.setFont(cache_.font(font, pixel_size, caption, box.w));
    painter_.drawText(rect(box), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, caption);
}

}  // namespace zorukan::app
