#pragma once
// The game's message boxes as modal Qt boxes: title, prompt, one OK button
// and no icon.

#include <QPointer>
#include <QWidget>

#include "runtime/message_boxes.h"

namespace zorukan::app {

class QtMessageBoxUi final : public runtime::MessageBoxUi {
public:
    // The window is made after the game that needs the boxes, so it comes later.
    void set_parent(QWidget* parent) { parent_ = parent; }

    void show(const std::string& prompt, const std::string& title) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace zorukan::app
