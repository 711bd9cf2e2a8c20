// ゾルカン: the desktop game.

#include <QApplication>
#include <iostream>

#include "app/application.h"
#include "app/fonts.h"
#include "app/game_session.h"
#include "app/start_up_work.h"

int main(int argc, char** argv) {
    using namespace zorukan;
    app::StartUpWork start_up;
    QApplication application(argc, argv);
    start_up.wait();
    app::describe_application();
    app::warn_if_fonts_missing(std::cerr);

    runtime::SeededRandom random(runtime::SeededRandom::system_clock_reading);
    app::GameSession game(random);
    if (!game.window()) return game.exit_status();
    game.window()->show_centred();
    return QApplication::exec();
}
