#include "app/scene_painter.h"

#include <gif_lib.h>

#include <QFile>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <memory>
#include <ranges>
#include <span>

#include "app/application.h"
#include "app/fonts.h"
#include "app/scene_geometry.h"
#include "scene/pictures.h"

namespace zorukan::app {

namespace {

QColor color(scene::Rgb rgb) { return {rgb.r, rgb.g, rgb.b}; }

void draw(QPainter& painter, const scene::Shape& shape) {
    const QRect area = px_rect(shape);
    painter.setPen(Qt::black);
    if (area.width() <= 1) {
        // Too narrow for a fill: only the border's vertical line is left.
        painter.drawLine(area.left(), area.top(), area.left(), area.bottom());
        return;
    }
    painter.fillRect(area, color(shape.fill));
    painter.drawRect(area.adjusted(0, 0, -1, -1));  // a stroked rect is one pen wider
}

void draw(QPainter& painter, const scene::Line& line) {
    painter.setPen(QPen(Qt::black, line.BorderWidth, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(px(line.X1, line.Y1), px(line.X2, line.Y2));
}

// The part of the window, in its own pixels, that this paint can change; an
// empty rectangle when the painter does not say.
QRect repainted_area(QPainter& painter) {
    const QPaintEngine* engine = painter.paintEngine();
    const QRegion device_clip = engine ? engine->systemClip() : QRegion();
    QRect area = device_clip.isEmpty() ? QRect() : painter.deviceTransform().inverted().mapRect(device_clip.boundingRect());
    if (painter.hasClipping()) {
        const QRect clip = painter.clipBoundingRect().toAlignedRect();
        area = area.isEmpty() ? clip : area & clip;
    }
    return area;
}

struct GifSource {
    QByteArrayView bytes;
    qsizetype at = 0;
};

int read_gif(GifFileType* gif, GifByteType* into, int count) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    const qsizetype n = std::min<qsizetype>(count, source->bytes.size() - source->at);
    std::memcpy(into, source->bytes.data() + source->at, static_cast<std::size_t>(n));
    source->at += n;
    return static_cast<int>(n);
}

struct CloseGif {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

}  // namespace

QImage decode_gif(QByteArrayView bytes) {
    GifSource source{bytes};
    int error = 0;
    const std::unique_ptr<GifFileType, CloseGif> gif(DGifOpen(&source, read_gif, &error));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) return {};
    const SavedImage& frame = gif->SavedImages[0];
    const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    const int width = frame.ImageDesc.Width, height = frame.ImageDesc.Height;
    if (!map || width <= 0 || height <= 0) return {};

    QList<QRgb> palette;
    for (const GifColorType& c : std::span(map->Colors, static_cast<std::size_t>(map->ColorCount))) {
        palette.append(qRgb(c.Red, c.Green, c.Blue));
    }
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(gif.get(), 0, &control) == GIF_OK && control.TransparentColor >= 0 &&
        control.TransparentColor < palette.size()) {
        palette[control.TransparentColor] &= 0x00FFFFFFu;
    }
    // giflib leaves indices past the colour table as they are; the painter must never meet one.
    const std::span<const GifByteType> pixels(frame.RasterBits, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (std::ranges::any_of(pixels, [&](GifByteType p) { return p >= palette.size(); })) return {};

    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(palette);
    for (int y = 0; y < height; ++y) std::copy_n(pixels.data() + static_cast<std::ptrdiff_t>(y) * width, width, image.scanLine(y));
    return image;
}

QImage load_picture(const scene::PictureInfo& info) {
    QFile file(QStringLiteral(":/pictures/") + QString::fromUtf8(info.file.data(), static_cast<qsizetype>(info.file.size())));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QImage image = decode_gif(file.readAll());
    return image.size() == QSize(info.width_px, info.height_px) ? image : QImage();
}

const std::array<QImage, 6>& scene_pictures() {
    // A function-local static is built exactly once even when threads race.
    static const std::array<QImage, 6> images = [] {
        register_resources();
        std::array<QImage, 6> loaded;
        for (const scene::PictureInfo& info : scene::kPictures) loaded.at(static_cast<std::size_t>(info.id)) = load_picture(info);
        return loaded;
    }();
    return images;
}

ScenePainter::ScenePainter() {
    register_resources();
    const auto& images = scene_pictures();
    for (std::size_t i = 0; i < images.size(); ++i) pictures_.at(i) = QPixmap::fromImage(images.at(i));
}

void ScenePainter::draw(QPainter& painter, const scene::Picture& picture) const {
    if (picture.Visible) painter.drawPixmap(px(picture.Left, picture.Top), this->picture(picture.picture));
}

void ScenePainter::draw(QPainter& painter, const scene::Label& label) const {
    const QString caption = QString::fromUtf8(label.Caption.data(), static_cast<qsizetype>(label.Caption.size()));
    const QString key = caption + QLatin1Char('/') + QString::number(static_cast<int>(label.font)) + QLatin1Char('/') +
                        QString::number(label.Width);
    auto font = label_fonts_.constFind(key);
    if (font == label_fonts_.constEnd()) font = label_fonts_.insert(key, label_font(label));
    painter.setPen(Qt::black);
    painter.setFont(*font);
    painter.drawText(px_rect(label), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, caption);
}

void ScenePainter::paint(QPainter& painter, const scene::Form1& form, const runtime::Trace& trace) const {
    // Pixel art stays pixel art at any scale, and lines keep hard edges.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(0, 0, px(scene::Form1::ClientWidth), px(scene::Form1::ClientHeight)),
                     color(scene::Form1::BackColor));

    for (const scene::ControlRef& control : form.drawing_order() | std::views::reverse) {
        if (auto p = std::get_if<const scene::Picture*>(&control)) draw(painter, **p);
        else if (auto s = std::get_if<const scene::Shape*>(&control)) app::draw(painter, **s);
        else if (auto l = std::get_if<const scene::Line*>(&control)) app::draw(painter, **l);
        else if (auto t = std::get_if<const scene::Label*>(&control)) draw(painter, **t);
    }

    // A flight tick repaints only its newest segment; the painter would clip
    // every other one away, at a cost that grows with the whole trace.
    // The test is in twips, with a pixel to spare for rounding and the pen.
    const QRect area = repainted_area(painter);
    const float t = scene::kTwipsPerPixel;
    const float left = static_cast<float>(area.left() - 2) * t, right = static_cast<float>(area.right() + 3) * t;
    const float top = static_cast<float>(area.top() - 2) * t, bottom = static_cast<float>(area.bottom() + 3) * t;
    painter.setPen(QPen(Qt::black, 1));
    for (const runtime::Segment& s : trace.segments()) {
        const bool outside = std::max(s.x1, s.x2) < left || std::min(s.x1, s.x2) > right ||
                             std::max(s.y1, s.y2) < top || std::min(s.y1, s.y2) > bottom;
        if (area.isEmpty() || !outside) painter.drawLine(px(s.x1, s.y1), px(s.x2, s.y2));
    }
}

}  // namespace zorukan::app
