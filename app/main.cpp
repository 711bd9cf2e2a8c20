// ゾルカン: the desktop game. Composes the real clock, random numbers and
// message boxes with the game and shows its window.

#include <QApplication>
#include <iostream>

#include "app/application.h"
#include "app/error_report.h"
#include "app/fonts.h"
#include "app/game_window.h"
#include "app/message_box_ui.h"
#include "app/real_clock.h"
#include "app/start_up_work.h"

int main(int argc, char** argv) {
    using namespace zorukan;
    app::StartUpWork start_up;
    QApplication application(argc, argv);
    start_up.wait();
    app::describe_application();
    app::warn_if_fonts_missing(std::cerr);

    app::RealClock clock;
    runtime::SeededRandom random(runtime::SeededRandom::system_clock_reading);
    app::QtMessageBoxUi boxes;
    int status = 0;
    game::Program program({clock, random, boxes, [&](const runtime::RuntimeError& error) {
                               status = app::report_fatal(error, boxes, std::cerr);
                               QApplication::exit(status);
                           }});
    clock.attach(program.timers());
    program.load();
    if (program.halted()) return status;

    app::GameWindow window(program);
    boxes.set_parent(&window);
    QObject::connect(&clock, &app::RealClock::ticked, &window, &app::GameWindow::sync_from_model);
    window.show_centred();
    return QApplication::exec();
}
