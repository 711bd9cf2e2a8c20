#include "ico.h"

#include <algorithm>
#include <stdexcept>

namespace artgen {
namespace {

int rowBytes(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

Bytes encodeDib(const IconImage& icon) {
    const Image& img = icon.image;
    const int bpp = icon.bitsPerPixel;
    if (bpp != 1 && bpp != 4) throw std::invalid_argument("icon images are 1 or 4 bpp");
    if (img.width() > 256 || img.height() > 256) throw std::invalid_argument("icon too large");

    // Re-index to the DIB palette. Transparent pixels must carry black so the
    // XOR pass leaves the screen untouched where the AND mask lets it through.
    const std::size_t maxColours = std::size_t{1} << bpp;
    std::vector<Rgb> pal;
    std::vector<std::uint8_t> map(img.palette().size(), 0);
    auto indexOf = [&](Rgb c) -> std::uint8_t {
        auto it = std::find(pal.begin(), pal.end(), c);
        if (it != pal.end()) return static_cast<std::uint8_t>(it - pal.begin());
        if (pal.size() == maxColours) throw std::invalid_argument("icon uses too many colours");
        pal.push_back(c);
        return static_cast<std::uint8_t>(pal.size() - 1);
    };
    std::vector<bool> used(img.palette().size(), false);
    for (std::uint8_t p : img.pixels()) used[p] = true;
    for (std::size_t i = 0; i < img.palette().size(); ++i)
        if (used[i] && static_cast<int>(i) != img.transparentIndex()) map[i] = indexOf(img.palette()[i]);
    if (img.transparentIndex() >= 0) map[img.transparentIndex()] = indexOf(Rgb{0, 0, 0});
    pal.resize(maxColours);

    const int xorRow = rowBytes(img.width(), bpp);
    const int andRow = rowBytes(img.width(), 1);

    Bytes out;
    put32le(out, 40);
    put32le(out, img.width());
    put32le(out, img.height() * 2);  // colour bitmap and mask stacked
    put16le(out, 1);
    put16le(out, bpp);
    put32le(out, 0);  // uncompressed
    put32le(out, (xorRow + andRow) * img.height());
    put32le(out, 0);
    put32le(out, 0);
    put32le(out, 0);
    put32le(out, 0);
    for (const Rgb& c : pal) {
        put8(out, c.b);
        put8(out, c.g);
        put8(out, c.r);
        put8(out, 0);
    }

    // Both bitmaps are stored bottom row first, MSB = leftmost pixel.
    for (int y = img.height() - 1; y >= 0; --y) {
        Bytes row(xorRow, 0);
        for (int x = 0; x < img.width(); ++x) {
            const unsigned v = map[img.at(x, y)];
            const int bit = x * bpp;
            row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - bpp - bit % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = img.height() - 1; y >= 0; --y) {
        Bytes row(andRow, 0);
        for (int x = 0; x < img.width(); ++x)
            if (img.at(x, y) == img.transparentIndex()) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

Bytes encodeIco(const std::vector<IconImage>& images) {
    Bytes out;
    put16le(out, 0);  // reserved
    put16le(out, 1);  // icon, not cursor
    put16le(out, static_cast<unsigned>(images.size()));

    std::vector<Bytes> dibs;
    for (const IconImage& icon : images) dibs.push_back(encodeDib(icon));

    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Image& img = images[i].image;
        put8(out, img.width() & 0xff);  // 256 is stored as 0
        put8(out, img.height() & 0xff);
        put8(out, 1u << images[i].bitsPerPixel);
        put8(out, 0);
        put16le(out, 1);  // planes
        put16le(out, images[i].bitsPerPixel);
        put32le(out, static_cast<std::uint32_t>(dibs[i].size()));
        put32le(out, offset);
        offset += static_cast<std::uint32_t>(dibs[i].size());
    }
    for (const Bytes& d : dibs) out.insert(out.end(), d.begin(), d.end());
    return out;
}

}  // namespace artgen
