#pragma once
// The drawing interface on a QPainter, in the device's own pixels: the
// window's paint event hands one to the core's painter.

#include <QFont>
#include <QHash>
#include <QPixmap>
#include <array>

#include "draw/canvas.h"

class QPainter;

namespace zorukan::app {

// What the canvas keeps from one paint to the next: the pictures, at their
// natural size and at the size last asked for, and the fonts fitted to each
// caption, which never change.
class CanvasCache {
public:
    CanvasCache();
    const QPixmap& picture(scene::PictureId id, QSize size);
    const QFont& font(scene::FontId id, int pixel_size, const QString& text, int width);

private:
    std::array<QPixmap, 6> natural_;
    QHash<QString, QPixmap> scaled_;
    QHash<QString, QFont> fonts_;
};

class QtCanvas final : public draw::Canvas {
public:
    // Sets `painter` to whole device pixels for as long as the canvas lives.
    QtCanvas(QPainter& painter, CanvasCache& cache);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    void clip(const draw::Rect& area) override;
    void fill(const draw::Rect& area, scene::Rgb colour) override;
    void picture(scene::PictureId id, const draw::Rect& area) override;
    void text(const draw::Rect& box, std::string_view text, scene::FontId font, int pixel_size,
              scene::Rgb colour) override;

private:
    QPainter& painter_;
    CanvasCache& cache_;
};

}  // namespace zorukan::app
