#include "gif.h"

#include "lzw.h"

#include <algorithm>

namespace artgen {

Bytes encodeGif(const Image& image) {
    // The colour table must hold a power of two entries, at least two.
    int tableBits = 1;
    while ((1u << tableBits) < image.palette().size()) ++tableBits;
    const std::size_t tableSize = std::size_t{1} << tableBits;

    Bytes out;
    putText(out, "GIF89a");

    // Logical screen descriptor: global table present, 8-bit colour resolution.
    put16le(out, image.width());
    put16le(out, image.height());
    put8(out, 0x80 | (7 << 4) | (tableBits - 1));
    put8(out, 0);  // background colour index
    put8(out, 0);  // square pixels

    for (std::size_t i = 0; i < tableSize; ++i) {
        const Rgb c = i < image.palette().size() ? image.palette()[i] : Rgb{};
        put8(out, c.r);
        put8(out, c.g);
        put8(out, c.b);
    }

    if (image.transparentIndex() >= 0) {
        // Graphic control extension: no disposal, no delay, transparency on.
        put8(out, 0x21);
        put8(out, 0xf9);
        put8(out, 4);
        put8(out, 0x01);
        put16le(out, 0);
        put8(out, static_cast<unsigned>(image.transparentIndex()));
        put8(out, 0);
    }

    // Image descriptor covering the whole screen, no local table, not interlaced.
    put8(out, 0x2c);
    put16le(out, 0);
    put16le(out, 0);
    put16le(out, image.width());
    put16le(out, image.height());
    put8(out, 0);

    const int minCodeSize = std::max(2, tableBits);
    put8(out, minCodeSize);
    const Bytes data = lzwEncode(image.pixels(), minCodeSize);
    for (std::size_t pos = 0; pos < data.size(); pos += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - pos);
        put8(out, static_cast<unsigned>(n));
        out.insert(out.end(), data.begin() + pos, data.begin() + pos + n);
    }
    put8(out, 0);   // block terminator
    put8(out, 0x3b);  // trailer
    return out;
}

}  // namespace artgen
