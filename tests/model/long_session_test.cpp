// Long sessions: a game left firing for more flight ticks than TickCount can
// count, and a game in which every shot destroys the television.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "headless/headless_game.h"
#include "tests/model/live_heap.h"

namespace zorukan::model {
namespace {

using runtime::Micros;

// A random value that puts the television's left edge at `left`.
float placing_at(int left) { return static_cast<float>((left - 1560 + 0.5) / 6721); }

// The television's places, in turn, forever.
headless::HeadlessGame long_game(std::vector<float> places) {
    return headless::HeadlessGame(headless::ScriptedRandom({}, headless::ScriptedRandom::cycling(std::move(places))));
}

TEST(LongSession, FliesPastTheSixteenBitTickCountWithoutErrorOrGrowth) {
    auto game = long_game({placing_at(8000)});
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
    EXPECT_EQ(game.program.state().TickCount, static_cast<std::int16_t>(static_cast<std::uint16_t>(flight.ticks_run())))
        << "TickCount wraps and keeps its parity";
    EXPECT_LE(longest_trace, 128u) << "the trace is cleared with every shot";
    EXPECT_EQ(grown, 0) << "bytes still held after " << shots << " shots that were not held after the first";
}

TEST(LongSession, EveryShotDestroysTheTelevisionWithBothMessages) {
    // 45 degrees at speed 200 comes down through each of these places.
    auto game = long_game({placing_at(4400), placing_at(4500), placing_at(4600)});
    const scene::Form1& f = game.program.form();
    const Micros box_times[] = {0, runtime::micros_from_ms(700), runtime::micros_from_ms(5000)};
    auto both_messages = [&] {
        const auto& shown = game.boxes.shown;
        return shown.size() == 2 && shown[0].title == game::kHitTitle && shown[0].prompt == game::kHitPrompt &&
               shown[1].title == game::kHitTitle && shown[1].prompt == game::kHitPromptAfter;
    };
    constexpr int kShots = 300;
    int hits = 0, kept_broken = 0;
    for (int shot = 0; shot < kShots; ++shot) {
        game.boxes.shown.clear();
        game.boxes.open_for = box_times[shot % 3];
        const float left = f.Tv.Left;
        if (!game.shoot(11, 45)) break;
        hits += both_messages();
        kept_broken += f.Tv.picture == scene::PictureId::TvBroken && game.program.state().TvBroken == 0 &&
                       f.Tv.Left != left;
    }
    EXPECT_TRUE(game.errors.empty()) << game.errors.front().what();
    EXPECT_EQ(hits, kShots) << "both messages, in order, in every shot";
    EXPECT_EQ(kept_broken, kShots) << "after each reset the broken set stands at its new place, ready to be hit";
    EXPECT_EQ(game.program.state().Speed, 200);
}

}  // namespace
}  // namespace zorukan::model
