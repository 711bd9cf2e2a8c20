// ゾルカン: the desktop game.

#include <langinfo.h>

#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "app/application.h"
#include "app/fonts.h"
#include "app/game_session.h"
#include "app/start_up_work.h"

namespace {

const char* variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// On X11 and Wayland desktops the toolkit aborts when it finds no display,
// with advice to reinstall. A platform chosen by QT_QPA_PLATFORM or
// -platform (offscreen, say) knows what it needs and is left to it.
bool no_display(int argc, char** argv) {
    if (*variable("QT_QPA_PLATFORM")) return false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0) return false;
    return !*variable("DISPLAY") && !*variable("WAYLAND_DISPLAY");
}

// The toolkit encodes text for the C library as UTF-8 whatever the locale,
// while Xlib encodes the window's legacy title (WM_NAME) by the locale's
// character set: with no locale set, or one that is not UTF-8, that title
// reads as mojibake. The game then runs in C.UTF-8, which every glibc has
// (its texts do not depend on the locale); a locale named but not installed
// is replaced the same way.
void characters_as_utf8() {
    if (std::setlocale(LC_ALL, "") && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
    setenv("LC_ALL", "C.UTF-8", 1);
    std::setlocale(LC_ALL, "");
}

// Where the player chose the platform, if anywhere: the -platform argument
// wins over QT_QPA_PLATFORM, as in the toolkit.
std::string chosen_platform(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0) return std::string("-platform ") + argv[i + 1];
    if (*variable("QT_QPA_PLATFORM")) return std::string("QT_QPA_PLATFORM=\"") + variable("QT_QPA_PLATFORM") + "\"";
    return {};
}

QtMessageHandler toolkit_messages = nullptr;
std::string platform_choice;   // as chosen_platform() gives it
std::string missing_platform;  // a platform the toolkit said it has no plugin for

// A display that is named but cannot be opened (its server gone, say), or a
// platform the toolkit has no plugin for, ends the toolkit the same way,
// with advice to reinstall. While the application connects, that fatal
// message ends the game with one plain line that says which, and status 1.
void connecting_messages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && context.category && std::strcmp(context.category, "qt.qpa.plugin") == 0 &&
        message.startsWith(QStringLiteral("Could not find the Qt platform plugin"))) {
        missing_platform = message.section(QLatin1Char('"'), 1, 1).toStdString();
    }
    if (type != QtFatalMsg) {
        if (toolkit_messages) toolkit_messages(type, context, message);
        return;
    }
    if (!missing_platform.empty()) {
        std::cerr << "zorukan: there is no platform \"" << missing_platform << "\" to open the window on";
        if (platform_choice.empty()) std::cerr << " (the toolkit's default); its plugin is not installed" << std::endl;
        else std::cerr << " (" << platform_choice << "); choose one the toolkit has, or none" << std::endl;
    } else {
        std::cerr << "zorukan: cannot open the window on the display (DISPLAY=\"" << variable("DISPLAY")
                  << "\", WAYLAND_DISPLAY=\"" << variable("WAYLAND_DISPLAY") << "\"); start it from a desktop session"
                  << std::endl;
    }
    std::_Exit(EXIT_FAILURE);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zorukan;
    if (no_display(argc, argv)) {
        std::cerr << "zorukan: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset); "
                     "start it from a desktop session\n";
        return EXIT_FAILURE;
    }
    characters_as_utf8();
    app::StartUpWork start_up;
    platform_choice = chosen_platform(argc, argv);
    toolkit_messages = qInstallMessageHandler(connecting_messages);
    QApplication application(argc, argv);
    qInstallMessageHandler(toolkit_messages);
    start_up.wait();
    app::describe_application();
    app::warn_if_fonts_missing(std::cerr);

    runtime::SeededRandom random(runtime::SeededRandom::system_clock_reading);
    app::GameSession game(random);
    if (!game.window()) return game.exit_status();
    game.window()->show_centred();
    return QApplication::exec();
}
