#pragma once
// The game without a window, as the replay driver, the fuzzer, every test
// and benchmark compose it: a virtual clock, random values the test or the
// script chooses, message boxes that record what they showed, and run-time
// errors collected instead of ending the process. The load runs as it is
// constructed.

#include <functional>
#include <vector>

#include "game/program.h"
#include "headless/recording_boxes.h"
#include "headless/scripted_random.h"
#include "runtime/virtual_clock.h"

namespace zorukan::headless {

class HeadlessGame {
public:
    explicit HeadlessGame(ScriptedRandom random_values = ScriptedRandom(), runtime::TraceObserver* trace = nullptr,
                          std::function<void(const runtime::RuntimeError&)> on_error = {});
    explicit HeadlessGame(std::initializer_list<float> random_values)
        : HeadlessGame(ScriptedRandom(std::vector<float>(random_values))) {}

    scene::Form1& form() { return program.form(); }
    game::GameState& state() { return program.game().state(); }
    void wait_ms(std::int64_t ms) { clock.advance(runtime::micros_from_ms(ms)); }

    // Aims, charges the gauge for `power_ticks` ticks and fires.
    void fire(int power_ticks, int angle);
    // Fires as above and runs until the next shot is armed; false if the
    // shot never ended.
    bool shoot(int power_ticks, int angle);

    runtime::VirtualClock clock;
    ScriptedRandom random;
    RecordingBoxes boxes{clock};
    std::vector<runtime::RuntimeError> errors;
    game::Program program;
};

}  // namespace zorukan::headless
