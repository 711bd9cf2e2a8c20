// Long sessions: a game left firing for more flight ticks than TickCount can
// count, and a game in which every shot destroys the television.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "game/program.h"
#include "runtime/virtual_clock.h"
#include "tests/model/live_heap.h"

namespace zorukan::model {
namespace {

using runtime::Micros;

// The television's random places, in turn, forever.
class CyclingRandom final : public runtime::RandomSource {
public:
    explicit CyclingRandom(std::vector<float> values) : values_(std::move(values)) {}
    void seed_from_clock() override {}
    float next() override { return values_[next_++ % values_.size()]; }

private:
    std::vector<float> values_;
    std::size_t next_ = 0;
};

class ShotBoxes final : public runtime::MessageBoxUi {
public:
    explicit ShotBoxes(runtime::VirtualClock& clock) : clock_(clock) {}
    void show(const std::string& prompt, const std::string& title) override {
        shown.push_back(title + " " + prompt);
        clock_.advance(open_for);
    }
    std::vector<std::string> shown;
    Micros open_for = 0;

private:
    runtime::VirtualClock& clock_;
};

// A random value that puts the television's left edge at `left`.
float placing_at(int left) { return static_cast<float>((left - 1560 + 0.5) / 6721); }

struct LongGame {
    explicit LongGame(std::vector<float> places) : random(std::move(places)) {}

    // Aims, charges for `power_ticks` gauge ticks, fires, and waits for the
    // shot to end.
    bool shoot(int angle, int power_ticks) {
        scene::Form1& f = program.form();
        program.scroll_to(angle);
        program.click(f.Cmd_Set);
        clock.advance(power_ticks * f.Tmr_Power.period());
        program.click(f.Cmd_Start);
        return clock.advance_until([&] { return f.Cmd_Set.Enabled; });
    }

    runtime::VirtualClock clock;
    CyclingRandom random;
    ShotBoxes boxes{clock};
    std::vector<std::string> errors;
    game::Program program{{.clock = clock,
                           .random = random,
                           .boxes = boxes,
                           .report_error = [this](const runtime::RuntimeError& e) { errors.push_back(e.what()); }}};
};

TEST(LongSession, FliesPastTheSixteenBitTickCountWithoutErrorOrGrowth) {
    LongGame game({placing_at(8000)});
    const runtime::Timer& flight = game.program.form().Timer1;
    constexpr std::uint64_t kFlightTicks = 40'000;

    // Straight up at full power: the longest shots. The first one warms up
    // every buffer the game keeps.
    ASSERT_TRUE(game.shoot(90, 20));
    const std::int64_t warm_heap = live_heap_bytes();
    std::size_t longest_trace = 0;
    int shots = 1;
    bool all_ended = true;
    while (flight.ticks_run() <= kFlightTicks && game.errors.empty()) {
        all_ended &= game.shoot(90, 20);
        longest_trace = std::max(longest_trace, game.program.trace().segments().capacity());
        ++shots;
    }
    const std::int64_t grown = live_heap_bytes() - warm_heap;

    EXPECT_TRUE(game.errors.empty()) << game.errors.front();
    EXPECT_TRUE(all_ended);
    EXPECT_GT(flight.ticks_run(), kFlightTicks);
    EXPECT_EQ(game.program.state().TickCount, static_cast<std::int16_t>(static_cast<std::uint16_t>(flight.ticks_run())))
        << "TickCount wraps and keeps its parity";
    EXPECT_LE(longest_trace, 128u) << "the trace is cleared with every shot";
    EXPECT_EQ(grown, 0) << "bytes still held after " << shots << " shots that were not held after the first";
}

TEST(LongSession, EveryShotDestroysTheTelevisionWithBothMessages) {
    // 45 degrees at speed 200 comes down through each of these places.
    LongGame game({placing_at(4400), placing_at(4500), placing_at(4600)});
    const scene::Form1& f = game.program.form();
    const Micros box_times[] = {0, runtime::micros_from_ms(700), runtime::micros_from_ms(5000)};
    const std::vector<std::string> both = {std::string(game::kHitTitle) + " " + game::kHitPrompt,
                                           std::string(game::kHitTitle) + " " + game::kHitPromptAfter};
    constexpr int kShots = 300;
    int hits = 0, kept_broken = 0;
    for (int shot = 0; shot < kShots; ++shot) {
        game.boxes.shown.clear();
        game.boxes.open_for = box_times[shot % 3];
        const float left = f.Tv.Left;
        if (!game.shoot(45, 11)) break;
        hits += game.boxes.shown == both;
        kept_broken += f.Tv.picture == scene::PictureId::TvBroken && game.program.state().TvBroken == 0 &&
                       f.Tv.Left != left;
    }
    EXPECT_TRUE(game.errors.empty()) << game.errors.front();
    EXPECT_EQ(hits, kShots) << "both messages, in order, in every shot";
    EXPECT_EQ(kept_broken, kShots) << "after each reset the broken set stands at its new place, ready to be hit";
    EXPECT_EQ(game.program.state().Speed, 200);
}

}  // namespace
}  // namespace zorukan::model
