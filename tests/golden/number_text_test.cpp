// The replay's numbers are read by fast_float and written by fmt, since not
// every C++ library the driver is built with has std::from_chars and
// std::to_chars for floating point; where the host's library has them, the
// driver must agree with them exactly, or the golden replays would read
// differently on another platform.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "tools/replay/number_text.h"

namespace {

using zorukan::replay::NumberRead;
using zorukan::replay::number_text;
using zorukan::replay::read_single;

float from_bits(std::uint32_t bits) {
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string library_text(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

// The status and value std::from_chars gives for a whole word.
NumberRead library_read(const std::string& word, float& value) {
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec == std::errc::result_out_of_range) return NumberRead::kOutOfRange;
    if (ec != std::errc() || end != word.data() + word.size()) return NumberRead::kMalformed;
    return NumberRead::kOk;
}

TEST(ReplayNumbers, TextIsTheLibrarysShortestFixedText) {
    // A spread of all singles.
    for (std::uint64_t bits = 0; bits < (std::uint64_t{1} << 32); bits += 14327) {
        const float value = from_bits(static_cast<std::uint32_t>(bits));
        ASSERT_EQ(number_text(value), library_text(value)) << value;
    }
}

TEST(ReplayNumbers, ReadingAgreesWithTheLibrary) {
    std::vector<std::string> words = {
        "0.5", "-0", ".5", "5.", "1e", "0.5e+1", "+0.5", "0x1p-2", "-0x1", "--1", "-", ".", "e5", "inf", "-INF",
        "infinity", "infinit", "nan", "nan(1_a)", "nan(", "1e39", "-1e39", "1e39x", "3.4028235e38", "3.4028236e38",
        "1e-40", "1.4e-45", "7e-46", "7.1e-46", "1e-50x", "0e99999999999", "1e-99999999999999999999",
        "0.00000000000000000000000000000000000000000000000000001e50", "0.99999999", "0.5#", "1,5", "NAN((+)", "nan()", "nan(a)b", "nan(a)(b)", "-nan(x_1)", "Infinity", "infx", "i", "n"};
    std::mt19937 random(7);
    constexpr char kLetters[] = "0123456789.eE-+xinfaNI(";
    for (int i = 0; i < 200000; ++i) {
        std::string word(1 + random() % 12, ' ');
        for (char& c : word) c = kLetters[random() % (sizeof kLetters - 1)];
        words.push_back(word);
    }
    for (const std::string& word : words) {
        float expected = 0, actual = 0;
        const NumberRead status = library_read(word, expected);
        ASSERT_EQ(static_cast<int>(read_single(word, actual)), static_cast<int>(status)) << word;
        if (status == NumberRead::kOk && !std::isnan(expected)) {
            ASSERT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0) << word;
        }
    }
}

}  // namespace
