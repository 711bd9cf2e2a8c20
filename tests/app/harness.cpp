#include "harness.h"

#include <QPushButton>
#include <QTest>

namespace zorukan::testing {

namespace {
constexpr int kBoxReadingMs = 700;  // long enough for several flight ticks to fall due
}

GameHarness::GameHarness(float random_value) : game_(ScriptedRandom({random_value}), this) {
    game_.boxes.open_for = runtime::micros_from_ms(kBoxReadingMs);
    window_ = std::make_unique<app::GameWindow>(game_.program);
}

void GameHarness::advance_ms(int ms) {
    game_.clock.advance(runtime::micros_from_ms(ms));
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
    game_.clock.advance_until([this] { return form().Image2.Visible || !form().Timer1.enabled(); });
    window_->sync_from_model();
}

void GameHarness::segment_drawn(const runtime::Segment& segment) {
    if (window_) window_->show_segment(segment);
}

void GameHarness::window_repainted() {
    if (window_) window_->update();
}

}  // namespace zorukan::testing
