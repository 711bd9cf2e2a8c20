#include "app/game_session.h"

#include <QApplication>
#include <iostream>

#include "app/error_report.h"

namespace zorukan::app {

GameSession::GameSession(runtime::RandomSource& random)
    : program_({.clock = clock_,
                .random = random,
                .boxes = boxes_,
                .trace = this,
                .report_error = [this](const runtime::RuntimeError& error) {
                    status_ = report_fatal(error, boxes_, std::cerr);
                    QApplication::exit(status_);
                }}) {
    if (program_.halted()) return;
    window_ = std::make_unique<GameWindow>(program_);
    boxes_.set_parent(window_.get());
    QObject::connect(&clock_, &RealClock::ticked, window_.get(), &GameWindow::sync_from_model);
}

void GameSession::segment_drawn(const runtime::Segment& segment) {
    if (window_) window_->show_segment(segment);
}

void GameSession::window_repainted() {
    if (window_) window_->update();
}

}  // namespace zorukan::app
