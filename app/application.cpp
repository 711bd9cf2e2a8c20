#include "app/application.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

static void init_zorukan_resources() { Q_INIT_RESOURCE(zorukan); }

namespace zorukan::app {

void register_resources() { init_zorukan_resources(); }

void describe_application() {
    QApplication::setApplicationName(QStringLiteral("zorukan"));
    // No display name: the toolkit would append it to every window title,
    // and each title must read exactly as the game gives it. The desktop
    // entry names the game to launchers.
    QApplication::setApplicationVersion(QStringLiteral(ZORUKAN_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral(ZORUKAN_APP_ID));
    register_resources();
    // The icon is not needed to draw the first frame, and reading it goes
    // through the image plugins, which cost more than the rest of the
    // window's start-up; so it is set once the event loop runs.
    QTimer::singleShot(0, qApp, [] {
        QIcon icon;
        // The window system shows a window's icon small; launchers take the
        // larger sizes from the icon theme.
        for (int size : {16, 32, 48}) icon.addFile(QStringLiteral(":/icons/zorukan-%1.png").arg(size), QSize(size, size));
        QApplication::setWindowIcon(icon);
    });
}

}  // namespace zorukan::app
