#include "app/application.h"

#include <QApplication>
#include <QIcon>

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
    // The window system shows a window's icon small; launchers take the
    // larger sizes from the icon theme.
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addFile(QStringLiteral(":/icons/zorukan-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
}

}  // namespace zorukan::app
