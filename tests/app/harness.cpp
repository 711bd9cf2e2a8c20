#include "harness.h"

#include <QPushButton>
#include <QTest>

namespace zorukan::testing {

namespace {
constexpr int kBoxReadingMs = 700;  // long enough for several flight ticks to fall due
}

GameHarness::GameHarness(float random_value) : random(random_value) {
    program_ = std::make_unique<game::Program>(game::Frontend{.clock = clock_, .random = random, .boxes = *this, .trace = this});
    window_ = std::make_unique<app::GameWindow>(*program_);
}

void GameHarness::advance_ms(int ms) {
    clock_.advance(runtime::micros_from_ms(ms));
    window_->sync_from_model();
}

void GameHarness::click(const char* button) {
    QTest::mouseClick(widget<QPushButton>(button), Qt::LeftButton);
}

void GameHarness::fire(int power_ms) {
    click("Cmd_Set");
    advance_ms(power_ms);
    click("Cmd_Start");
    land();
}

void GameHarness::land() {
    clock_.advance_until([this] { return form().Image2.Visible || !form().Timer1.enabled(); });
    window_->sync_from_model();
}

void GameHarness::show(const std::string& prompt, const std::string& title) {
    const std::uint64_t before = form().Timer1.ticks_run();
    const bool held = program_->timers().held();
    clock_.advance(runtime::micros_from_ms(kBoxReadingMs));
    boxes_.push_back({title, prompt, held, before, form().Timer1.ticks_run()});
}

void GameHarness::segment_drawn(const runtime::Segment& segment) {
    if (window_) window_->show_segment(segment);
}

void GameHarness::window_repainted() {
    if (window_) window_->update();
}

}  // namespace zorukan::testing
