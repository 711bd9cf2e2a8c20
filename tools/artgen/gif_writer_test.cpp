// Checks the file writers against decoders written here from the format
// descriptions, not against the writers' own code paths.
#include "gif.h"
#include "ico.h"
#include "lzw.h"
#include "png.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

using namespace artgen;

namespace {

// --- GIF LZW decoder ------------------------------------------------------

struct Decoded {
    Bytes symbols;
    int clearsAfterStart = 0;  // clear codes seen after the leading one
    int widestCode = 0;
    bool sawEnd = false;
};

Decoded lzwDecode(const Bytes& data, int minCodeSize) {
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::vector<Bytes> table;
    int width = 0, prev = -1, codesRead = 0;
    auto reset = [&] {
        table.assign(clear + 2, {});
        for (int i = 0; i < clear; ++i) table[i] = {static_cast<std::uint8_t>(i)};
        width = minCodeSize + 1;
        prev = -1;
    };
    reset();

    Decoded out;
    std::size_t bitPos = 0;
    while (bitPos + width <= data.size() * 8) {
        int code = 0;
        for (int b = 0; b < width; ++b, ++bitPos)
            if (data[bitPos / 8] & (1 << (bitPos % 8))) code |= 1 << b;
        out.widestCode = std::max(out.widestCode, width);
        if (code == clear) {
            if (codesRead++ > 0) ++out.clearsAfterStart;
            reset();
            continue;
        }
        ++codesRead;
        if (code == end) {
            out.sawEnd = true;
            break;
        }
        Bytes entry;
        if (code < static_cast<int>(table.size())) {
            entry = table[code];
        } else if (code == static_cast<int>(table.size()) && prev >= 0) {
            entry = table[prev];
            entry.push_back(table[prev][0]);
        } else {
            ADD_FAILURE() << "code " << code << " not in table of " << table.size();
            break;
        }
        out.symbols.insert(out.symbols.end(), entry.begin(), entry.end());
        if (prev >= 0 && table.size() < 4096) {
            Bytes grown = table[prev];
            grown.push_back(entry[0]);
            table.push_back(grown);
        }
        if (static_cast<int>(table.size()) == (1 << width) && width < 12) ++width;
        prev = code;
    }
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

void expectRoundTrip(const Bytes& input, int minCodeSize) {
    const Decoded d = lzwDecode(lzwEncode(input, minCodeSize), minCodeSize);
    EXPECT_TRUE(d.sawEnd) << "length " << input.size();
    EXPECT_EQ(d.symbols, input) << "length " << input.size() << ", code size " << minCodeSize;
}

std::uint16_t le16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
std::uint32_t le32(const Bytes& b, std::size_t at) { return le16(b, at) | static_cast<std::uint32_t>(le16(b, at + 2)) << 16; }
std::uint32_t be32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

}  // namespace

TEST(ArtgenLzw, RoundTripsEveryLengthAcrossTheFirstWidthChanges) {
    // With two colours the width steps 3->4->5->6->7 within a few hundred
    // codes; ending at each possible point catches an off-by-one in the width
    // used for the final code or end-of-information.
    const Bytes source = noise(900, 4, 7);
    for (std::size_t n = 0; n <= source.size(); ++n) expectRoundTrip(Bytes(source.begin(), source.begin() + n), 2);
}

TEST(ArtgenLzw, RoundTripsAtEveryCodeSize) {
    for (int bits = 2; bits <= 8; ++bits) {
        SCOPED_TRACE(bits);
        expectRoundTrip(noise(3000, 1u << bits, 100 + bits), bits);
        expectRoundTrip(Bytes(5000, static_cast<std::uint8_t>((1 << bits) - 1)), bits);  // one long run
        expectRoundTrip({0}, bits);
    }
}

TEST(ArtgenLzw, FillsTheTableThenClearsAndCarriesOn) {
    const Bytes input = noise(60000, 256, 42);
    const Bytes packed = lzwEncode(input, 8);
    const Decoded d = lzwDecode(packed, 8);
    EXPECT_EQ(d.symbols, input);
    EXPECT_EQ(d.widestCode, 12);
    EXPECT_GE(d.clearsAfterStart, 2);
    // Noise barely compresses: roughly one 12-bit code per input byte or two.
    EXPECT_LT(packed.size(), input.size() * 2);
}

TEST(ArtgenLzw, RejectsIndicesOutsideTheCodeSize) {
    EXPECT_THROW(lzwEncode({0, 4}, 2), std::invalid_argument);
    EXPECT_THROW(lzwEncode({0}, 1), std::invalid_argument);
}

TEST(ArtgenGif, WritesATransparentImageThatDecodesToTheSamePixels) {
    Image img(37, 5, {{192, 192, 192}, {0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 37; ++x) img.set(x, y, static_cast<std::uint8_t>((x * 7 + y * 3) % 5));
    img.setTransparentIndex(0);
    const Bytes gif = encodeGif(img);

    ASSERT_GT(gif.size(), 13u + 24 + 8 + 10);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    EXPECT_EQ(le16(gif, 6), 37);
    EXPECT_EQ(le16(gif, 8), 5);
    ASSERT_EQ(gif[10] & 0x80, 0x80) << "global colour table flag";
    const int tableEntries = 2 << (gif[10] & 7);
    EXPECT_EQ(tableEntries, 8);  // five colours padded to a power of two
    std::size_t p = 13;
    EXPECT_EQ(gif[p + 3 * 2], 255);  // entry 2 is red
    EXPECT_EQ(gif[p + 3 * 2 + 1], 0);
    p += 3 * tableEntries;

    ASSERT_EQ(gif[p], 0x21);
    ASSERT_EQ(gif[p + 1], 0xf9);
    EXPECT_EQ(gif[p + 2], 4);
    EXPECT_EQ(gif[p + 3] & 1, 1) << "transparency flag";
    EXPECT_EQ(gif[p + 6], 0) << "transparent index";
    EXPECT_EQ(gif[p + 7], 0);
    p += 8;

    ASSERT_EQ(gif[p], 0x2c);
    EXPECT_EQ(le16(gif, p + 5), 37);
    EXPECT_EQ(le16(gif, p + 7), 5);
    EXPECT_EQ(gif[p + 9], 0) << "no local table, not interlaced";
    p += 10;
    const int codeSize = gif[p++];
    EXPECT_EQ(codeSize, 3);

    Bytes data;
    while (gif.at(p) != 0) {
        const std::size_t n = gif[p++];
        data.insert(data.end(), gif.begin() + p, gif.begin() + p + n);
        p += n;
    }
    EXPECT_EQ(gif.at(p + 1), 0x3b);
    EXPECT_EQ(p + 2, gif.size());
    EXPECT_EQ(lzwDecode(data, codeSize).symbols, img.pixels());
}

TEST(ArtgenGif, OpaqueImageHasNoControlExtensionAndSplitsLongDataIntoBlocks) {
    Image img(120, 120, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}, {5, 5, 5}, {6, 6, 6}, {7, 7, 7},
                         {8, 8, 8}, {9, 9, 9}, {10, 10, 10}, {11, 11, 11}, {12, 12, 12}, {13, 13, 13}, {14, 14, 14},
                         {15, 15, 15}, {16, 16, 16}});
    const Bytes n = noise(120 * 120, 17, 3);
    for (int i = 0; i < 120 * 120; ++i) img.set(i % 120, i / 120, n[i]);
    const Bytes gif = encodeGif(img);
    const std::size_t afterTable = 13 + 3 * 32;
    ASSERT_EQ(gif.at(afterTable), 0x2c);
    std::size_t p = afterTable + 10;
    EXPECT_EQ(gif[p++], 5);
    Bytes data;
    int blocks = 0;
    while (gif.at(p) != 0) {
        const std::size_t len = gif[p++];
        if (gif.at(p + len) != 0) {
            EXPECT_EQ(len, 255u) << "only the last sub-block may be short";
        }
        data.insert(data.end(), gif.begin() + p, gif.begin() + p + len);
        p += len;
        ++blocks;
    }
    EXPECT_GT(blocks, 10);
    EXPECT_EQ(lzwDecode(data, 5).symbols, img.pixels());
}

// Expected values from Python 3: zlib.crc32(data), zlib.adler32(data).
TEST(ArtgenPng, ChecksumsMatchReferenceValues) {
    auto crcOf = [](const std::string& s) { return crc32(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()); };
    auto adlerOf = [](const std::string& s) { return adler32(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()); };
    EXPECT_EQ(crcOf("123456789"), 0xcbf43926u);
    EXPECT_EQ(crcOf("IEND"), 0xae426082u);
    EXPECT_EQ(crcOf(""), 0u);
    EXPECT_EQ(adlerOf("123456789"), 0x091e01deu);
    EXPECT_EQ(adlerOf(""), 1u);
    EXPECT_EQ(adlerOf("The quick brown fox jumps over the lazy dog"), 0x5bdc0fdau);
    // Long enough that both sums wrap the modulus many times.
    Bytes ramp;
    for (int k = 0; k < 300; ++k)
        for (int i = 0; i < 256; ++i) ramp.push_back(static_cast<std::uint8_t>(i));
    EXPECT_EQ(adler32(ramp.data(), ramp.size()), 0x09f872bcu);
    EXPECT_EQ(crc32(ramp.data(), ramp.size()), 0xbb9cf916u);
}

TEST(ArtgenPng, StoredDeflateStreamHoldsTheUnfilteredRows) {
    // 200 x 100 RGBA is 80100 bytes of scanlines: more than one stored block.
    const int w = 200, h = 100;
    Bytes rgba = noise(static_cast<std::size_t>(w) * h * 4, 256, 9);
    const Bytes png = encodePng(w, h, rgba);

    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    ASSERT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    std::map<std::string, Bytes> chunks;
    std::vector<std::string> order;
    for (std::size_t p = 8; p < png.size();) {
        const std::uint32_t len = be32(png, p);
        const std::string type(png.begin() + p + 4, png.begin() + p + 8);
        EXPECT_EQ(be32(png, p + 8 + len), crc32(png.data() + p + 4, len + 4)) << type;
        chunks[type] = Bytes(png.begin() + p + 8, png.begin() + p + 8 + len);
        order.push_back(type);
        p += 12 + len;
    }
    EXPECT_EQ(order, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    const Bytes& ihdr = chunks["IHDR"];
    EXPECT_EQ(be32(ihdr, 0), static_cast<std::uint32_t>(w));
    EXPECT_EQ(be32(ihdr, 4), static_cast<std::uint32_t>(h));
    EXPECT_EQ(ihdr[8], 8);
    EXPECT_EQ(ihdr[9], 6);

    const Bytes& z = chunks["IDAT"];
    EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0) << "zlib header check bits";
    EXPECT_EQ(z[0] & 0x0f, 8) << "deflate";
    Bytes raw;
    std::size_t p = 2;
    int blocks = 0;
    for (bool last = false; !last; ++blocks) {
        last = z.at(p) & 1;
        EXPECT_EQ(z[p] & 6, 0) << "stored block";
        const std::uint16_t len = le16(z, p + 1), nlen = le16(z, p + 3);
        EXPECT_EQ(static_cast<std::uint16_t>(~len), nlen);
        raw.insert(raw.end(), z.begin() + p + 5, z.begin() + p + 5 + len);
        p += 5 + len;
    }
    EXPECT_EQ(blocks, 2);
    ASSERT_EQ(p + 4, z.size());
    EXPECT_EQ(be32(z, p), adler32(raw.data(), raw.size()));

    ASSERT_EQ(raw.size(), static_cast<std::size_t>(h) * (w * 4 + 1));
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
