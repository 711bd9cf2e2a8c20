#include "app/message_box_ui.h"

#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

namespace zorukan::app {

void QtMessageBoxUi::show(const std::string& prompt, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(prompt),
                    QMessageBox::Ok, parent_);
    box.setWindowModality(Qt::ApplicationModal);
    box.button(QMessageBox::Ok)->setIcon(QIcon());  // some styles put one on the button

    box.exec();
}

}  // namespace zorukan::app
