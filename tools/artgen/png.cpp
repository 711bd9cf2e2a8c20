#include "png.h"

#include <zlib.h>

#include <stdexcept>

namespace artgen {
namespace {

void putChunk(Bytes& out, const char* type, const Bytes& data) {
    put32be(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    putText(out, type);
    out.insert(out.end(), data.begin(), data.end());
    put32be(out, static_cast<std::uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

Bytes deflate(const Bytes& raw) {
    uLongf size = compressBound(raw.size());
    Bytes z(size);
    if (compress2(z.data(), &size, raw.data(), raw.size(), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("PNG writer: compression failed");
    z.resize(size);
    return z;
}

}  // namespace

Bytes encodePng(int width, int height, const Bytes& rgba) {
    if (width <= 0 || height <= 0 || rgba.size() != static_cast<std::size_t>(width) * height * 4)
        throw std::invalid_argument("RGBA buffer does not match the size");

    Bytes raw;  // each row prefixed with filter type 0 (none)
    raw.reserve(static_cast<std::size_t>(height) * (width * 4 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const auto row = rgba.begin() + static_cast<std::ptrdiff_t>(y) * width * 4;
        raw.insert(raw.end(), row, row + width * 4);
    }

    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes ihdr;
    put32be(ihdr, width);
    put32be(ihdr, height);
    put8(ihdr, 8);  // bits per channel
    put8(ihdr, 6);  // RGBA
    put8(ihdr, 0);  // deflate
    put8(ihdr, 0);  // adaptive filtering
    put8(ihdr, 0);  // not interlaced
    putChunk(out, "IHDR", ihdr);
    putChunk(out, "IDAT", deflate(raw));
    putChunk(out, "IEND", {});
    return out;
}

Bytes encodePng(const Image& image) {
    Bytes rgba;
    rgba.reserve(image.pixels().size() * 4);
    for (const std::uint8_t p : image.pixels()) {
        const Rgb c = image.palette().at(p);
        const bool clear = p == image.transparentIndex();
        put8(rgba, clear ? 0 : c.r);
        put8(rgba, clear ? 0 : c.g);
        put8(rgba, clear ? 0 : c.b);
        put8(rgba, clear ? 0 : 255);
    }
    return encodePng(image.width(), image.height(), rgba);
}

}  // namespace artgen
