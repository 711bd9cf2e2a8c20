// Little helpers for laying out binary file formats.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace artgen {

using Bytes = std::vector<std::uint8_t>;

inline void put8(Bytes& b, unsigned v) { b.push_back(static_cast<std::uint8_t>(v)); }
inline void put16le(Bytes& b, unsigned v) { put8(b, v & 0xff); put8(b, (v >> 8) & 0xff); }
inline void put32le(Bytes& b, std::uint32_t v) { put16le(b, v & 0xffff); put16le(b, v >> 16); }
inline void put32be(Bytes& b, std::uint32_t v) {
    put8(b, v >> 24); put8(b, (v >> 16) & 0xff); put8(b, (v >> 8) & 0xff); put8(b, v & 0xff);
}
inline void putText(Bytes& b, std::string_view s) {
    for (char ch : s) b.push_back(static_cast<std::uint8_t>(ch));
}

}  // namespace artgen
