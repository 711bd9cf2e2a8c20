#include "app/message_box_ui.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

namespace zorukan::app {

QtMessageBoxUi::QtMessageBoxUi() {
    QObject::connect(qGuiApp, &QGuiApplication::lastWindowClosed, &closing_watch_, [this] { closing_ = true; });
}

void QtMessageBoxUi::show(const std::string& prompt, const std::string& title) {
    if (closing_) return;
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(prompt),
                    QMessageBox::Ok, parent_);
    box.setWindowModality(Qt::ApplicationModal);
    box.button(QMessageBox::Ok)->setIcon(QIcon());  // some styles put one on the button

    box.exec();
}

}  // namespace zorukan::app
