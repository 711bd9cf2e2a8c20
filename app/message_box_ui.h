#pragma once
// The game's message boxes as modal Qt boxes: title, prompt, one OK button
// and no icon.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "runtime/message_boxes.h"

namespace zorukan::app {

class QtMessageBoxUi final : public runtime::MessageBoxUi {
public:
    QtMessageBoxUi();

    // The window is made after the game that needs the boxes, so it comes later.
    void set_parent(QWidget* parent) { parent_ = parent; }

    void show(const std::string& prompt, const std::string& title) override;

private:
    QPointer<QWidget> parent_;
    // Once the player has closed the last window the game is over: a box
    // still due in the same event would stand alone on the desktop.
    QObject closing_watch_;
    bool closing_ = false;
};

}  // namespace zorukan::app
