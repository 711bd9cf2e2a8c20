// A long session: a game left firing for more flight ticks than TickCount
// can count, without a run-time error and without holding more memory.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "headless/headless_game.h"
#include "tests/model/live_heap.h"

namespace zorukan::model {
namespace {

// A random value that puts the television's left edge at `left`.
float placing_at(int left) { return static_cast<float>((left - 1560 + 0.5) / 6721); }

TEST(LongSession, FliesPastTheSixteenBitTickCountWithoutErrorOrGrowth) {
    // The television far to the right, out of the way of shots straight up.
    headless::HeadlessGame game({placing_at(8000)});
    const runtime::Timer& flight = game.program.form().Timer1;
    constexpr std::uint64_t kFlightTicks = 40'000;

    // Straight up at full power: the longest shots. The first one warms up
    // every buffer the game keeps.
    ASSERT_TRUE(game.shoot(20, 90));
    const std::int64_t warm_heap = live_heap_bytes();
    std::size_t longest_trace = 0;
    int shots = 1;
    bool all_ended = true;
    while (flight.ticks_run() <= kFlightTicks && game.errors.empty()) {
        all_ended &= game.shoot(20, 90);
        longest_trace = std::max(longest_trace, game.program.trace().segments().capacity());
        ++shots;
    }
    const std::int64_t grown = live_heap_bytes() - warm_heap;

    EXPECT_TRUE(game.errors.empty()) << game.errors.front().what();
    EXPECT_TRUE(all_ended);
    EXPECT_GT(flight.ticks_run(), kFlightTicks);
    EXPECT_LE(longest_trace, 128u) << "the trace is cleared with every shot";
    EXPECT_EQ(grown, 0) << "bytes still held after " << shots << " shots that were not held after the first";
}

}  // namespace
}  // namespace zorukan::model
