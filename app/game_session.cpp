#include "app/game_session.h"

#include <QApplication>
#include <iostream>

#include "app/error_report.h"

namespace zorukan::app {

GameSession::GameSession(runtime::RandomSource& random)
    : program_({clock_, random, boxes_, [this](const runtime::RuntimeError& error) {
                    status_ = report_fatal(error, boxes_, std::cerr);
                    QApplication::exit(status_);
                }}) {
    clock_.attach(program_.timers());
    program_.load();
    if (program_.halted()) return;
    window_ = std::make_unique<GameWindow>(program_);
    boxes_.set_parent(window_.get());
    QObject::connect(&clock_, &RealClock::ticked, window_.get(), &GameWindow::sync_from_model);
}

}  // namespace zorukan::app
