#pragma once
// A headless game for tests: a virtual clock, random values the test chooses
// and message boxes that record what they showed and stay open for a chosen
// time.

#include <deque>
#include <string>
#include <vector>

#include "game/program.h"
#include "runtime/virtual_clock.h"

namespace zorukan::testing {

class ChosenRandom final : public runtime::RandomSource {
public:
    explicit ChosenRandom(std::deque<float> chosen) : values(std::move(chosen)) {}
    void seed_from_clock() override { ++seedings; }
    float next() override {
        if (values.empty()) return 0.5f;
        const float value = values.front();
        values.pop_front();
        return value;
    }
    std::deque<float> values;
    int seedings = 0;
};

struct ShownBox {
    std::string prompt, title;
    runtime::Micros opened_at;
};

class RecordingBoxes final : public runtime::MessageBoxUi {
public:
    explicit RecordingBoxes(runtime::VirtualClock& clock) : clock_(clock) {}
    void show(const std::string& prompt, const std::string& title) override {
        shown.push_back({prompt, title, clock_.now()});
        clock_.advance(open_for);
    }
    std::vector<ShownBox> shown;
    runtime::Micros open_for = 0;

private:
    runtime::VirtualClock& clock_;
};

struct Rig {
    explicit Rig(std::deque<float> random_values = {0.5f}) : random(std::move(random_values)) {}

    void wait_ms(std::int64_t ms) { clock.advance(runtime::micros_from_ms(ms)); }
    scene::Form1& form() { return program.form(); }
    game::GameState& state() { return program.game().state(); }

    // Charges the gauge for `power_ticks` ticks and fires at `angle`.
    void fire(int power_ticks, int angle) {
        program.scroll_to(angle);
        program.click(form().Cmd_Set);
        clock.advance(power_ticks * form().Tmr_Power.period());
        program.click(form().Cmd_Start);
    }

    runtime::VirtualClock clock;
    ChosenRandom random;
    RecordingBoxes boxes{clock};
    std::vector<runtime::RuntimeError> errors;
    game::Program program{{.clock = clock,
                           .random = random,
                           .boxes = boxes,
                           .report_error = [this](const runtime::RuntimeError& e) { errors.push_back(e); }}};
};

}  // namespace zorukan::testing
