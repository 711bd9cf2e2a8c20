#include "app/application.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

static void init_zorukan_resources() { Q_INIT_RESOURCE(zorukan); }

namespace zorukan::app {

namespace {

// The window system shows a window's icon small; launchers take the larger
// sizes from the icon theme. The program holds the small ones, each read
// with the toolkit's own PNG reader: left to find the format itself, the
// reader first loads every image format plugin installed (and the libraries
// they need) to ask whether it reads PNG, which costs more than three times
// what reading the icon does.
QIcon window_icon() {
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString& file : icons.entryList(QDir::Files)) {
        QImageReader reader(icons.filePath(file), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

}  // namespace

void register_resources() { init_zorukan_resources(); }

void describe_application() {
    QApplication::setApplicationName(QStringLiteral("zorukan"));
    // No display name: the toolkit would append it to every window title,
    // and each title must read exactly as the game gives it. The desktop
    // entry names the game to launchers.
    QApplication::setApplicationVersion(QStringLiteral(ZORUKAN_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral(ZORUKAN_APP_ID));
    register_resources();
    QApplication::setWindowIcon(window_icon());
}

}  // namespace zorukan::app
