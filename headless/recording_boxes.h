#pragma once
// Message boxes that record what they showed instead of waiting for a
// player. On a virtual clock each box stays open for `open_for`; once it
// watches a program, each box also records whether the game's ticks were held
// and how many flight ticks ran while it was open.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/program.h"
#include "runtime/virtual_clock.h"

namespace zorukan::headless {

struct ShownBox {
    std::string title, prompt;
    bool timers_held = false;
    std::uint64_t flight_ticks_before = 0, flight_ticks_after = 0;
};

class RecordingBoxes final : public runtime::MessageBoxUi {
public:
    RecordingBoxes() = default;  // no clock: every box closes at once
    explicit RecordingBoxes(runtime::VirtualClock& clock) : clock_(&clock) {}

    void watch(game::Program& program) { program_ = &program; }
    void show(const std::string& prompt, const std::string& title) override;

    std::vector<ShownBox> shown;
    runtime::Micros open_for = 0;
    // Called as each box opens, before its time passes.
    std::function<void(const ShownBox&)> on_open;

private:
    runtime::VirtualClock* clock_ = nullptr;
    game::Program* program_ = nullptr;
};

}  // namespace zorukan::headless
