#include "png.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace artgen {
namespace {

std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
    }
    return t;
}

void putChunk(Bytes& out, const char* type, const Bytes& data) {
    put32be(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    putText(out, type);
    out.insert(out.end(), data.begin(), data.end());
    put32be(out, crc32(out.data() + start, out.size() - start));
}

}  // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    static const auto table = makeCrcTable();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t adler32(const std::uint8_t* data, std::size_t size) {
    constexpr std::uint32_t mod = 65521;
    std::uint32_t a = 1, b = 0;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % mod;
        b = (b + a) % mod;
    }
    return (b << 16) | a;
}

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

    Bytes z;
    put8(z, 0x78);  // deflate, 32K window
    put8(z, 0x01);  // no dictionary, fastest; 0x7801 is a multiple of 31
    std::size_t pos = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        put8(z, pos + n == raw.size() ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        put16le(z, static_cast<unsigned>(n));
        put16le(z, static_cast<unsigned>(~n & 0xffff));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    put32be(z, adler32(raw.data(), raw.size()));

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
    putChunk(out, "IDAT", z);
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
