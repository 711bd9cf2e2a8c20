// The core's speed on the virtual clock: one flight tick, one whole shot,
// and the floor they are measured against (advancing the clock with no
// timer on).

#include <benchmark/benchmark.h>

#include "headless/headless_game.h"

namespace {

using zorukan::headless::HeadlessGame;
using zorukan::headless::ScriptedRandom;

// The television goes where the game's own generator would put it.
HeadlessGame seeded_game() { return HeadlessGame(ScriptedRandom({}, ScriptedRandom::seeded(1))); }

// Charges to speed 200 and fires at 45 degrees, then runs until the next shot
// is armed: 30 flight ticks, 8 more while the explosion shows.
void play_shot(HeadlessGame& game) { game.shoot(11, 45); }

void BM_Floor_AdvanceIdleClock(benchmark::State& state) {
    HeadlessGame game = seeded_game();
    const auto flight_period = game.form().Timer1.period();
    for (auto _ : state) {
        game.clock.advance(flight_period);
        benchmark::DoNotOptimize(game.clock.now());
    }
}
BENCHMARK(BM_Floor_AdvanceIdleClock);

void BM_FlightTick(benchmark::State& state) {
    // Re-arming when a shot ends is a click or two in a few dozen ticks, so
    // it stays in the measurement rather than paying for pausing the timer.
    HeadlessGame game = seeded_game();
    auto& form = game.form();
    for (auto _ : state) {
        if (!form.Timer1.enabled()) {
            game.program.click(form.Cmd_Set);
            game.program.click(form.Cmd_Start);
        }
        game.clock.advance(form.Timer1.period());
    }
}
BENCHMARK(BM_FlightTick);

void BM_WholeShot(benchmark::State& state) {
    HeadlessGame game = seeded_game();
    for (auto _ : state) play_shot(game);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WholeShot);

void BM_HundredThousandShots(benchmark::State& state) {
    for (auto _ : state) {
        HeadlessGame game = seeded_game();
        for (int shot = 0; shot < 100000; ++shot) play_shot(game);
        benchmark::DoNotOptimize(game.state().TickCount);
    }
}
BENCHMARK(BM_HundredThousandShots)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
