#include "headless/recording_boxes.h"

namespace zorukan::headless {

void RecordingBoxes::show(const std::string& prompt, const std::string& title) {
    ShownBox box{title, prompt};
    if (program_) {
        box.timers_held = program_->timers().held();
        box.flight_ticks_before = program_->form().Timer1.ticks_run();
    }
    if (on_open) on_open(box);
    if (clock_) clock_->advance(open_for);
    if (program_) box.flight_ticks_after = program_->form().Timer1.ticks_run();
    shown.push_back(std::move(box));
}

}  // namespace zorukan::headless
