#include "app/gif_decoder.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zorukan::app {

namespace {

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool has(std::size_t count) const { return bytes_.size() - at_ >= count; }
    std::uint8_t byte() { return has(1) ? bytes_[at_++] : (failed_ = true, 0); }
    int word() {
        const int low = byte();
        return low | (byte() << 8);
    }
    std::span<const std::uint8_t> take(std::size_t count) {
        if (!has(count)) {
            failed_ = true;
            return {};
        }
        const auto part = bytes_.subspan(at_, count);
        at_ += count;
        return part;
    }
    bool failed() const { return failed_; }

    // The data sub-blocks that follow an extension or an image, joined.
    std::vector<std::uint8_t> sub_blocks() {
        std::vector<std::uint8_t> joined;
        for (std::uint8_t size = byte(); size != 0 && !failed_; size = byte()) {
            const auto part = take(size);
            joined.insert(joined.end(), part.begin(), part.end());
        }
        return joined;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool failed_ = false;
};

std::vector<std::uint32_t> colour_table(Reader& in, int flags) {
    std::vector<std::uint32_t> table(std::size_t{2} << (flags & 7));
    for (std::uint32_t& colour : table) {
        const std::uint32_t r = in.byte(), g = in.byte(), b = in.byte();
        colour = 0xFF000000u | r << 16 | g << 8 | b;
    }
    return table;
}

// Variable-width LZW as GIF uses it: codes packed least significant bit
// first, a clear code that resets the table, an end code, and widths growing
// up to 12 bits. Returns false on a code that cannot occur in a valid stream.
bool decompress(const std::vector<std::uint8_t>& data, int min_code_size, std::vector<std::uint8_t>& out,
                std::size_t pixels) {
    if (min_code_size < 2 || min_code_size > 8) return false;
    const int clear = 1 << min_code_size, end = clear + 1;
    std::array<std::uint16_t, 4096> prefix{}, length{};
    std::array<std::uint8_t, 4096> suffix{}, first{};
    for (int code = 0; code < clear; ++code) {
        suffix[code] = first[code] = static_cast<std::uint8_t>(code);
        length[code] = 1;
    }
    out.reserve(pixels);
    int width = min_code_size + 1, next = end + 1, previous = -1;
    std::uint32_t bits = 0;
    int bit_count = 0;
    for (std::uint8_t byte : data) {
        bits |= static_cast<std::uint32_t>(byte) << bit_count;
        bit_count += 8;
        while (bit_count >= width) {
            const int code = static_cast<int>(bits & ((1u << width) - 1));
            bits >>= width;
            bit_count -= width;
            if (code == clear) {
                width = min_code_size + 1;
                next = end + 1;
                previous = -1;
                continue;
            }
            if (code == end) return out.size() >= pixels;
            if (code > next || (previous < 0 && code >= clear)) return false;
            // A code not yet in the table stands for the previous string
            // followed by that string's own first byte.
            const bool fresh = code == next;
            const int known = fresh ? previous : code;
            const std::size_t start = out.size();
            const std::size_t size = length[known] + (fresh ? 1u : 0u);
            if (start + size > pixels) return false;
            out.resize(start + size);
            std::size_t at = start + length[known];
            if (fresh) out[at] = first[previous];
            for (int c = known; at > start; c = prefix[c]) out[--at] = suffix[c];
            if (previous >= 0 && next < 4096) {
                prefix[next] = static_cast<std::uint16_t>(previous);
                suffix[next] = first[known];
                first[next] = first[previous];
                length[next] = static_cast<std::uint16_t>(length[previous] + 1);
                if (++next == (1 << width) && width < 12) ++width;
            }
            previous = code;
        }
    }
    return out.size() >= pixels;  // a stream may end without its end code
}

void deinterlace(GifPicture& picture) {
    std::vector<std::uint8_t> rows(picture.indices.size());
    const auto w = static_cast<std::size_t>(picture.width);
    std::size_t source = 0;
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
        for (int y = start; y < picture.height; y += step, source += w) {
            std::copy_n(picture.indices.begin() + static_cast<std::ptrdiff_t>(source), w,
                        rows.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * w));
        }
    }
    picture.indices = std::move(rows);
}

}  // namespace

std::optional<GifPicture> decode_gif(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    const auto signature = in.take(6);
    if (in.failed() || signature[0] != 'G' || signature[1] != 'I' || signature[2] != 'F') return std::nullopt;
    in.word();  // the logical screen; the first image's own size is what is drawn
    in.word();
    const int screen_flags = in.byte();
    in.byte();  // background colour
    in.byte();  // aspect ratio
    std::vector<std::uint32_t> global;
    if (screen_flags & 0x80) global = colour_table(in, screen_flags);

    int transparent = -1;
    while (!in.failed()) {
        const int block = in.byte();
        if (block == 0x21) {
            const int label = in.byte();
            const auto data = in.sub_blocks();
            if (label == 0xF9 && data.size() >= 4 && (data[0] & 1)) transparent = data[3];
        } else if (block == 0x2C) {
            in.word();
            in.word();
            GifPicture picture;
            picture.width = in.word();
            picture.height = in.word();
            const int flags = in.byte();
            picture.palette = (flags & 0x80) ? colour_table(in, flags) : global;
            const int min_code_size = in.byte();
            const auto data = in.sub_blocks();
            const auto pixels = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
            if (in.failed() || pixels == 0 || picture.palette.empty()) return std::nullopt;
            if (!decompress(data, min_code_size, picture.indices, pixels)) return std::nullopt;
            picture.indices.resize(pixels);
            for (std::uint8_t index : picture.indices) {
                if (index >= picture.palette.size()) return std::nullopt;
            }
            if (transparent >= 0 && static_cast<std::size_t>(transparent) < picture.palette.size()) {
                picture.palette[static_cast<std::size_t>(transparent)] &= 0x00FFFFFFu;
            }
            if (flags & 0x40) deinterlace(picture);
            return picture;
        } else {
            return std::nullopt;  // the trailer, or bytes that are not a block
        }
    }
    return std::nullopt;
}

}  // namespace zorukan::app
