#include "app/message_box_ui.h"

#include <QMessageBox>

namespace zorukan::app {

void QtMessageBoxUi::show(const std::string& prompt, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(prompt),
                    QMessageBox::Ok, parent_);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace zorukan::app
