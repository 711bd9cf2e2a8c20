#include "app/message_box_ui.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <optional>

#include "app/window_accessible.h"
#include "scene/control_rules.h"

namespace zorukan::app {

namespace {

std::optional<scene::Key> box_key(int key) {
    switch (key) {
    case Qt::Key_Space: return scene::Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter: return scene::Key::Enter;
    default: return std::nullopt;
    }
}

// Keeps a key held down from before the box opened (the Enter that fired the
// shell, say) from closing it: the box's button would take the key's
// repeats for presses.
class HeldKeys final : public QObject {
public:
    explicit HeldKeys(QWidget& box) : box_(box) { qApp->installEventFilter(this); }
    ~HeldKeys() override { qApp->removeEventFilter(this); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || (widget != &box_ && !box_.isAncestorOf(widget))) return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        const std::optional<scene::Key> pressed = box_key(key.key());
        return pressed && !scene::ControlRules::closes_box(*pressed, key.isAutoRepeat());
    }

private:
    QWidget& box_;
};

}  // namespace

QtMessageBoxUi::QtMessageBoxUi() {
    install_accessible_interfaces();
    QObject::connect(qGuiApp, &QGuiApplication::lastWindowClosed, &closing_watch_, [this] { closing_ = true; });
}

void QtMessageBoxUi::show(const std::string& prompt, const std::string& title) {
    if (closing_) return;
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(prompt),
                    QMessageBox::Ok, parent_);
    box.setWindowModality(Qt::ApplicationModal);
    box.button(QMessageBox::Ok)->setIcon(QIcon());  // some styles put one on the button
    const HeldKeys held(box);
    box.exec();
}

}  // namespace zorukan::app
