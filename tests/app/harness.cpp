#include "harness.h"

#include <QTest>
#include <cmath>

namespace zorukan::testing {

namespace {
constexpr int kBoxReadingMs = 700;  // long enough for several flight ticks to fall due
}

GameHarness::GameHarness(float random_value) : game_(ScriptedRandom({random_value}), this) {
    game_.boxes.open_for = runtime::micros_from_ms(kBoxReadingMs);
    window_ = std::make_unique<app::GameWindow>(game_.program);
}

QPoint GameHarness::at(double x, double y) const {
    // The first logical pixel at or past the point: the window divides it
    // back into scene pixels no further left or up than the point.
    const double zoom = window_->zoom();
    const auto up = [zoom](double v) { return static_cast<int>(std::ceil(v * zoom - 1e-9)); };
    return {up(x), up(y)};
}

QPoint GameHarness::middle(const scene::Rect& r) const { return at(r.x + r.w / 2.0, r.y + r.h / 2.0); }

void GameHarness::advance_ms(int ms) {
    game_.clock.advance(runtime::micros_from_ms(ms));
    window_->sync_from_model();
}

void GameHarness::click(const char* button) {
    QTest::mouseClick(window_.get(), Qt::LeftButton, {}, middle(scene::pixel_rect(*form().button(button))));
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
