#include "lzw.h"

#include <stdexcept>

namespace artgen {
namespace {

constexpr int kMaxBits = 12;
constexpr int kTableSize = 1 << kMaxBits;

class BitWriter {
public:
    explicit BitWriter(Bytes& out) : out_(out) {}
    void write(unsigned code, int width) {
        acc_ |= static_cast<std::uint32_t>(code) << used_;
        used_ += width;
        while (used_ >= 8) {
            out_.push_back(static_cast<std::uint8_t>(acc_ & 0xff));
            acc_ >>= 8;
            used_ -= 8;
        }
    }
    void flush() {
        if (used_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_ & 0xff));
        acc_ = 0;
        used_ = 0;
    }

private:
    Bytes& out_;
    std::uint32_t acc_ = 0;
    int used_ = 0;
};

}  // namespace

Bytes lzwEncode(const Bytes& indices, int minCodeSize) {
    if (minCodeSize < 2 || minCodeSize > 8) throw std::invalid_argument("GIF code size must be 2..8");
    const unsigned clear = 1u << minCodeSize;
    const unsigned eoi = clear + 1;
    const unsigned alphabet = clear;

    // child[code * alphabet + symbol] = code for (string(code) + symbol), 0 = none.
    // Code 0 is never a valid child because every new code is above eoi.
    std::vector<std::uint16_t> child(static_cast<std::size_t>(kTableSize) * alphabet, 0);

    Bytes out;
    BitWriter bits(out);
    unsigned next = eoi + 1;
    int width = minCodeSize + 1;

    auto reset = [&] {
        std::fill(child.begin(), child.end(), 0);
        next = eoi + 1;
        width = minCodeSize + 1;
    };

    bits.write(clear, width);
    if (!indices.empty()) {
        unsigned prefix = indices[0];
        if (prefix >= alphabet) throw std::invalid_argument("colour index exceeds code size");
        for (std::size_t i = 1; i < indices.size(); ++i) {
            const unsigned sym = indices[i];
            if (sym >= alphabet) throw std::invalid_argument("colour index exceeds code size");
            const std::size_t slot = static_cast<std::size_t>(prefix) * alphabet + sym;
            if (child[slot] != 0) {
                prefix = child[slot];
                continue;
            }
            bits.write(prefix, width);
            if (next == kTableSize) {
                bits.write(clear, width);
                reset();
            } else {
                child[slot] = static_cast<std::uint16_t>(next);
                // The decoder learns this entry one code later, and widens as
                // soon as its next free code no longer fits; match that.
                if (next == (1u << width) && width < kMaxBits) ++width;
                ++next;
            }
            prefix = sym;
        }
        bits.write(prefix, width);
        // Reading that last code makes the decoder add one more entry, which
        // may push it to the next width before it reads end-of-information.
        if (next < kTableSize && next == (1u << width) && width < kMaxBits) ++width;
    }
    bits.write(eoi, width);
    bits.flush();
    return out;
}

}  // namespace artgen
