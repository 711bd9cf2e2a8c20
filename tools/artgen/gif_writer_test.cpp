// Checks the file writers by reading their output back: the GIFs through
// giflib's reader, the PNGs through zlib and the chunk layout, the icon
// against the format description.
#include "gif.h"
#include "ico.h"
#include "png.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

using namespace artgen;

namespace {

// --- GIF reader -------------------------------------------------------------

struct ReadGif {
    std::string version;
    int width = 0, height = 0;
    std::vector<Rgb> table;
    int transparent = -1;
    int extensions = 0;
    Bytes pixels;
};

struct Cursor {
    const Bytes& bytes;
    std::size_t at = 0;
};

int readFrom(GifFileType* gif, GifByteType* into, int count) {
    auto* in = static_cast<Cursor*>(gif->UserData);
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(count), in->bytes.size() - in->at);
    std::memcpy(into, in->bytes.data() + in->at, n);
    in->at += n;
    return static_cast<int>(n);
}

ReadGif readGif(const Bytes& file) {
    Cursor cursor{file};
    int error = 0;
    std::unique_ptr<GifFileType, void (*)(GifFileType*)> gif(DGifOpen(&cursor, readFrom, &error),
                                                             [](GifFileType* g) { DGifCloseFile(g, nullptr); });
    ReadGif out;
    if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount != 1 || !gif->SColorMap) {
        ADD_FAILURE() << "giflib cannot read the file";
        return out;
    }
    out.version.assign(file.begin(), file.begin() + 6);
    const SavedImage& frame = gif->SavedImages[0];
    out.width = frame.ImageDesc.Width;
    out.height = frame.ImageDesc.Height;
    for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
        const GifColorType c = gif->SColorMap->Colors[i];
        out.table.push_back({c.Red, c.Green, c.Blue});
    }
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(gif.get(), 0, &control) == GIF_OK) out.transparent = control.TransparentColor;
    out.extensions = frame.ExtensionBlockCount;
    out.pixels.assign(frame.RasterBits, frame.RasterBits + static_cast<std::size_t>(out.width) * out.height);
    return out;
}

Bytes noise(std::size_t n, unsigned alphabet, std::uint32_t seed) {
    Bytes v(n);
    for (auto& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = static_cast<std::uint8_t>((seed >> 16) % alphabet);
    }
    return v;
}

std::vector<Rgb> greys(std::size_t n) {
    std::vector<Rgb> palette;
    for (std::size_t i = 0; i < n; ++i) palette.push_back({static_cast<std::uint8_t>(i), 1, 2});
    return palette;
}

Image imageOf(int width, int height, std::size_t colours, const Bytes& pixels) {
    Image img(width, height, greys(colours));
    for (int i = 0; i < width * height; ++i) img.set(i % width, i / width, pixels[static_cast<std::size_t>(i)]);
    return img;
}

void expectRoundTrip(const Image& img) {
    const ReadGif read = readGif(encodeGif(img));
    EXPECT_EQ(read.width, img.width());
    EXPECT_EQ(read.height, img.height());
    EXPECT_EQ(read.pixels, img.pixels()) << img.width() << " x " << img.height();
    ASSERT_GE(read.table.size(), img.palette().size());
    EXPECT_TRUE(std::equal(img.palette().begin(), img.palette().end(), read.table.begin()));
}

std::uint16_t le16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
std::uint32_t le32(const Bytes& b, std::size_t at) { return le16(b, at) | static_cast<std::uint32_t>(le16(b, at + 2)) << 16; }
std::uint32_t be32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

struct Chunk {
    std::string type;
    Bytes data;
    std::uint32_t crc;
};

std::vector<Chunk> chunksOf(const Bytes& png) {
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    std::vector<Chunk> chunks;
    for (std::size_t p = 8; p + 12 <= png.size();) {
        const std::uint32_t len = be32(png, p);
        chunks.push_back({std::string(png.begin() + p + 4, png.begin() + p + 8),
                          Bytes(png.begin() + p + 8, png.begin() + p + 8 + len), be32(png, p + 8 + len)});
        p += 12 + len;
    }
    return chunks;
}

}  // namespace

TEST(ArtgenGif, RoundTripsEveryLengthAcrossTheFirstWidthChanges) {
    // With four colours the code width steps 3->4->5->6->7 within a few
    // hundred codes; ending at each possible point catches a picture cut short.
    const Bytes source = noise(900, 4, 7);
    for (int n = 1; n <= static_cast<int>(source.size()); ++n) expectRoundTrip(imageOf(n, 1, 4, source));
    expectRoundTrip(imageOf(30, 30, 4, source));
}

TEST(ArtgenGif, RoundTripsAtEveryCodeSize) {
    for (int bits = 1; bits <= 8; ++bits) {
        SCOPED_TRACE(bits);
        const std::size_t colours = std::size_t{1} << bits;
        const ReadGif read = readGif(encodeGif(imageOf(60, 50, colours / 2 + 1, noise(3000, colours / 2 + 1, 100 + bits))));
        EXPECT_EQ(read.table.size(), std::max<std::size_t>(2, colours)) << "the smallest power of two that holds them";
        expectRoundTrip(imageOf(60, 50, colours, noise(3000, colours, 100 + bits)));
        expectRoundTrip(Image(100, 50, greys(colours), static_cast<std::uint8_t>(colours - 1)));  // one long run
        expectRoundTrip(Image(1, 1, greys(colours)));
    }
}

TEST(ArtgenGif, FillsTheTableThenClearsAndCarriesOn) {
    const Image img = imageOf(300, 200, 256, noise(60000, 256, 42));
    const Bytes gif = encodeGif(img);
    EXPECT_EQ(readGif(gif).pixels, img.pixels());
    // Noise barely compresses: roughly one 12-bit code per input byte or two.
    EXPECT_LT(gif.size(), img.pixels().size() * 2);
}

TEST(ArtgenGif, RejectsIndicesOutsideThePalette) {
    Image img(4, 1, greys(3));
    img.set(3, 0, 3);
    EXPECT_THROW(encodeGif(img), std::invalid_argument);
    img.set(3, 0, 2);
    EXPECT_NO_THROW(encodeGif(img));
}

TEST(ArtgenGif, WritesATransparentImageThatDecodesToTheSamePixels) {
    Image img(37, 5, {{192, 192, 192}, {0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 37; ++x) img.set(x, y, static_cast<std::uint8_t>((x * 7 + y * 3) % 5));
    img.setTransparentIndex(0);
    const ReadGif read = readGif(encodeGif(img));

    EXPECT_EQ(read.version, "GIF89a") << "transparency needs the 89a format";
    EXPECT_EQ(read.width, 37);
    EXPECT_EQ(read.height, 5);
    ASSERT_EQ(read.table.size(), 8u) << "five colours padded to a power of two";
    EXPECT_EQ(read.table[2], (Rgb{255, 0, 0}));
    EXPECT_EQ(read.table[7], (Rgb{0, 0, 0})) << "padding is black";
    EXPECT_EQ(read.transparent, 0);
    EXPECT_EQ(read.extensions, 1);
    EXPECT_EQ(read.pixels, img.pixels());
}

TEST(ArtgenGif, OpaqueImageHasNoControlExtension) {
    const Image img = imageOf(120, 120, 17, noise(120 * 120, 17, 3));
    const ReadGif read = readGif(encodeGif(img));
    EXPECT_EQ(read.extensions, 0);
    EXPECT_EQ(read.transparent, -1);
    EXPECT_EQ(read.table.size(), 32u);
    EXPECT_EQ(read.pixels, img.pixels());
}

// Expected values from Python 3's zlib: crc32 of each chunk's type and data,
// and compress(rows, 9) of the one row.
TEST(ArtgenPng, ChecksumsMatchReferenceValues) {
    const std::vector<Chunk> chunks = chunksOf(encodePng(1, 1, {10, 20, 30, 255}));
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].crc, 0x1f15c489u);
    EXPECT_EQ(chunks[1].data, (Bytes{0x78, 0xda, 0x63, 0xe0, 0x12, 0x91, 0xfb, 0x0f, 0x00, 0x01, 0xa4, 0x01, 0x3c}))
        << "filter byte 0, then the pixel, at the best compression";
    EXPECT_EQ(chunks[1].crc, 0x4cd51ca7u);
    EXPECT_EQ(chunks[2].crc, 0xae426082u);
}

TEST(ArtgenPng, CompressedStreamHoldsTheUnfilteredRows) {
    // Noise rows each repeated four times, as in the blown-up icons.
    const int w = 200, h = 100;
    const Bytes lines = noise(static_cast<std::size_t>(w) * 4 * h / 4, 256, 9);
    Bytes rgba;
    for (int y = 0; y < h; ++y) {
        const auto row = lines.begin() + static_cast<std::ptrdiff_t>(y / 4) * w * 4;
        rgba.insert(rgba.end(), row, row + w * 4);
    }
    const std::vector<Chunk> chunks = chunksOf(encodePng(w, h, rgba));

    std::vector<std::string> order;
    for (const Chunk& c : chunks) {
        order.push_back(c.type);
        Bytes typed(c.type.begin(), c.type.end());
        typed.insert(typed.end(), c.data.begin(), c.data.end());
        EXPECT_EQ(c.crc, crc32(0, typed.data(), static_cast<uInt>(typed.size()))) << c.type;
    }
    ASSERT_EQ(order, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    const Bytes& ihdr = chunks[0].data;
    EXPECT_EQ(be32(ihdr, 0), static_cast<std::uint32_t>(w));
    EXPECT_EQ(be32(ihdr, 4), static_cast<std::uint32_t>(h));
    EXPECT_EQ(ihdr[8], 8);
    EXPECT_EQ(ihdr[9], 6);

    const Bytes& z = chunks[1].data;
    EXPECT_LT(z.size(), rgba.size() / 3) << "repeated rows are compressed";
    Bytes raw(static_cast<std::size_t>(h) * (w * 4 + 1) + 1);
    uLongf size = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &size, z.data(), z.size()), Z_OK) << "a whole zlib stream with its checksum";
    ASSERT_EQ(size, static_cast<std::size_t>(h) * (w * 4 + 1));
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(raw[y * (w * 4 + 1)], 0) << "filter type, row " << y;
        EXPECT_EQ(0, std::memcmp(&raw[y * (w * 4 + 1) + 1], &rgba[static_cast<std::size_t>(y) * w * 4], w * 4));
    }
}

TEST(ArtgenIco, DirectoryPointsAtBitmapsWithMasks) {
    Image colour(16, 16, {{255, 0, 255}, {10, 20, 30}, {200, 100, 50}}, 1);
    colour.setTransparentIndex(0);
    colour.set(0, 0, 0);   // top-left transparent
    colour.set(15, 15, 2);  // bottom-right the third colour
    Image mono(32, 32, {{0, 0, 0}, {255, 255, 255}, {1, 2, 3}}, 1);
    mono.setTransparentIndex(2);
    mono.set(31, 0, 2);
    const Bytes ico = encodeIco({{mono, 1}, {colour, 4}});

    EXPECT_EQ(le16(ico, 0), 0);
    EXPECT_EQ(le16(ico, 2), 1);
    ASSERT_EQ(le16(ico, 4), 2);
    std::uint32_t expectedOffset = 6 + 2 * 16;
    const int sizes[] = {32, 16}, depths[] = {1, 4};
    for (int i = 0; i < 2; ++i) {
        const std::size_t e = 6 + 16 * i;
        EXPECT_EQ(ico[e], sizes[i]);
        EXPECT_EQ(ico[e + 1], sizes[i]);
        EXPECT_EQ(ico[e + 2], 1 << depths[i]);
        EXPECT_EQ(le16(ico, e + 6), depths[i]);
        const std::uint32_t bytes = le32(ico, e + 8), offset = le32(ico, e + 12);
        EXPECT_EQ(offset, expectedOffset);
        const int xorRow = ((sizes[i] * depths[i] + 31) / 32) * 4, andRow = ((sizes[i] + 31) / 32) * 4;
        EXPECT_EQ(bytes, 40u + 4u * (1u << depths[i]) + static_cast<std::uint32_t>((xorRow + andRow) * sizes[i]));
        EXPECT_EQ(le32(ico, offset), 40u);
        EXPECT_EQ(le32(ico, offset + 8), static_cast<std::uint32_t>(sizes[i] * 2)) << "height counts both bitmaps";
        expectedOffset += bytes;
    }
    EXPECT_EQ(expectedOffset, ico.size());

    // The 4-bit image: rows are stored bottom-up, so the first XOR row is y = 15.
    const std::size_t dib = le32(ico, 6 + 16 + 12);
    const std::size_t palette = dib + 40, xorBits = palette + 16 * 4, andBits = xorBits + 8 * 16;
    const std::uint8_t bottomRight = ico[xorBits + 7] & 0x0f;
    EXPECT_EQ(ico[palette + 4 * bottomRight + 2], 200) << "red of the bottom-right pixel";
    const std::uint8_t topLeft = ico[xorBits + 15 * 8] >> 4;
    EXPECT_EQ(ico[palette + 4 * topLeft] | ico[palette + 4 * topLeft + 1] | ico[palette + 4 * topLeft + 2], 0)
        << "transparent pixels carry black";
    EXPECT_EQ(ico[andBits + 15 * 4] & 0x80, 0x80) << "top-left masked out";
    EXPECT_EQ(ico[andBits + 1] & 0x01, 0) << "bottom-right drawn";

    // The 1-bit image: top-right transparent, its neighbour not.
    const std::size_t monoAnd = le32(ico, 6 + 12) + 40 + 8 + 4 * 32;
    EXPECT_EQ(ico[monoAnd + 31 * 4 + 3], 0x01);
}

TEST(ArtgenIco, RejectsMoreColoursThanTheDepthHolds) {
    Image img(4, 4, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}});
    img.set(1, 0, 1);
    img.set(2, 0, 2);
    EXPECT_THROW(encodeIco({{img, 1}}), std::invalid_argument);
}
