// The core's speed on the virtual clock: one flight tick, one whole shot,
// and the floor they are measured against (advancing the clock with no
// timer on).

#include <benchmark/benchmark.h>

#include "game/program.h"
#include "runtime/virtual_clock.h"

namespace {

using namespace zorukan;

class QuietBoxes final : public runtime::MessageBoxUi {
public:
    void show(const std::string&, const std::string&) override {}
};

struct Headless {
    // Charges to speed 200, fires at 45 degrees and runs until the next shot
    // is armed: 30 flight ticks, 8 more while the explosion shows.
    void play_shot() {
        program.scroll_to(45);
        program.click(program.form().Cmd_Set);
        clock.advance(11 * program.form().Tmr_Power.period());
        program.click(program.form().Cmd_Start);
        clock.advance_until([this] { return program.form().Cmd_Set.Enabled; });
    }
    runtime::VirtualClock clock;
    runtime::SeededRandom random{[this] { return static_cast<std::uint64_t>(clock.now()); }};
    QuietBoxes boxes;
    game::Program program{{.clock = clock, .random = random, .boxes = boxes}};
};

void BM_Floor_AdvanceIdleClock(benchmark::State& state) {
    Headless game;
    for (auto _ : state) {
        game.clock.advance(runtime::micros_from_ms(60));
        benchmark::DoNotOptimize(game.clock.now());
    }
}
BENCHMARK(BM_Floor_AdvanceIdleClock);

void BM_FlightTick(benchmark::State& state) {
    // Re-arming when a shot ends is a click or two in a few dozen ticks, so
    // it stays in the measurement rather than paying for pausing the timer.
    Headless game;
    auto& form = game.program.form();
    for (auto _ : state) {
        if (!form.Timer1.enabled()) {
            game.program.click(form.Cmd_Set);
            game.program.click(form.Cmd_Start);
        }
        game.clock.advance(runtime::micros_from_ms(60));
    }
}
BENCHMARK(BM_FlightTick);

void BM_WholeShot(benchmark::State& state) {
    Headless game;
    for (auto _ : state) game.play_shot();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WholeShot);

void BM_HundredThousandShots(benchmark::State& state) {
    for (auto _ : state) {
        Headless game;
        for (int shot = 0; shot < 100000; ++shot) game.play_shot();
        benchmark::DoNotOptimize(game.program.state().TickCount);
    }
}
BENCHMARK(BM_HundredThousandShots)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
