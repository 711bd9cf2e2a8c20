#include "app/gif_images.h"

#include <gif_lib.h>

#include <QFile>
#include <QList>
#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "app/application.h"

namespace zorukan::app {

namespace {

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

}  // namespace zorukan::app
