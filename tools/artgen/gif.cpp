#include "gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

namespace artgen {
namespace {

int append(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

struct CloseGif {
    void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};

void check(int status, const char* step) {
    if (status != GIF_OK) throw std::runtime_error(std::string("GIF writer: ") + step + " failed");
}

// The colour table holds a power of two entries, at least two; the rest are black.
std::unique_ptr<ColorMapObject, decltype(&GifFreeMapObject)> colourTable(const std::vector<Rgb>& palette) {
    const int size = 1 << GifBitSize(static_cast<int>(palette.size()));
    std::unique_ptr<ColorMapObject, decltype(&GifFreeMapObject)> map(GifMakeMapObject(size, nullptr), GifFreeMapObject);
    if (!map) throw std::bad_alloc();
    for (std::size_t i = 0; i < palette.size(); ++i) map->Colors[i] = {palette[i].r, palette[i].g, palette[i].b};
    return map;
}

}  // namespace

Bytes encodeGif(const Image& image) {
    const std::size_t colours = image.palette().size();
    // giflib masks out-of-range indices silently, which would change the picture.
    Bytes pixels = image.pixels();
    if (std::any_of(pixels.begin(), pixels.end(), [&](std::uint8_t p) { return p >= colours; }))
        throw std::invalid_argument("a pixel names no colour of the palette");

    Bytes out;
    int error = 0;
    std::unique_ptr<GifFileType, CloseGif> gif(EGifOpen(&out, append, &error));
    if (!gif) throw std::runtime_error("GIF writer: cannot start");
    EGifSetGifVersion(gif.get(), true);
    check(EGifPutScreenDesc(gif.get(), image.width(), image.height(), 8, 0, colourTable(image.palette()).get()),
          "screen descriptor");
    if (image.transparentIndex() >= 0) {
        const GraphicsControlBlock control{.DisposalMode = DISPOSAL_UNSPECIFIED, .UserInputFlag = false,
                                           .DelayTime = 0, .TransparentColor = image.transparentIndex()};
        GifByteType block[4];
        const auto size = static_cast<int>(EGifGCBToExtension(&control, block));
        check(EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, size, block), "graphics control block");
    }
    check(EGifPutImageDesc(gif.get(), 0, 0, image.width(), image.height(), false, nullptr), "image descriptor");
    check(EGifPutLine(gif.get(), pixels.data(), static_cast<int>(pixels.size())), "pixels");
    check(EGifCloseFile(gif.release(), &error), "trailer");
    return out;
}

}  // namespace artgen
