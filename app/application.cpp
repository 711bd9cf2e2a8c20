#include "app/application.h"

#include <QApplication>
#include <QIcon>

static void init_zorukan_resources() { Q_INIT_RESOURCE(zorukan); }

namespace zorukan::app {

void register_resources() { init_zorukan_resources(); }

void describe_application() {
    QApplication::setApplicationName(QStringLiteral("zorukan"));
    QApplication::setApplicationDisplayName(QStringLiteral("ゾルカン"));
    QApplication::setApplicationVersion(QStringLiteral(ZORUKAN_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral(ZORUKAN_APP_ID));
    register_resources();
    QIcon icon;
    // With its size given, an icon file is only read when that size is drawn.
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/zorukan-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
}

}  // namespace zorukan::app
