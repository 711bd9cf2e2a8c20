// Checks the two file writers by reading their output back: a GIF through
// giflib's reader, a PNG through its chunk layout and zlib. How well giflib
// and zlib compress is theirs to test; the committed pictures are checked
// against the generator by artgen.assets_match_generator.
#include "gif.h"
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

TEST(ArtgenGif, RejectsIndicesOutsideThePalette) {
    Image img(4, 1, {{0, 1, 2}, {1, 1, 2}, {2, 1, 2}});
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
