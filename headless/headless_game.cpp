#include "headless/headless_game.h"

namespace zorukan::headless {

namespace {

ScriptedRandom reading(ScriptedRandom random, const runtime::Clock& clock) {
    random.read_clock(clock);
    return random;
}

}  // namespace

HeadlessGame::HeadlessGame(ScriptedRandom random_values, runtime::TraceObserver* trace,
                           std::function<void(const runtime::RuntimeError&)> on_error)
    : random(reading(std::move(random_values), clock)),
      program({.clock = clock,
               .random = random,
               .boxes = boxes,
               .trace = trace,
               .report_error = [this, on_error = std::move(on_error)](const runtime::RuntimeError& error) {
                   errors.push_back(error);
                   if (on_error) on_error(error);
               }}) {
    boxes.watch(program);
}

void HeadlessGame::fire(int power_ticks, int angle) {
    program.scroll_to(angle);
    program.click(form().Cmd_Set);
    clock.advance(power_ticks * form().Tmr_Power.period());
    program.click(form().Cmd_Start);
}

bool HeadlessGame::shoot(int power_ticks, int angle) {
    fire(power_ticks, angle);
    return clock.advance_until([this] { return form().Cmd_Set.Enabled; });
}

}  // namespace zorukan::headless
