#pragma once
// The game's window, Form1: paints the scene, holds the real buttons, text
// box and scroll bar, and hands every player action to the game. After each
// event it brings the widgets in step with the game and repaints only the
// part of the scene that changed.

#include <QWidget>
#include "app/qt_canvas.h"
#include "draw/damage.h"
#include "draw/painter.h"
#include "game/program.h"
#include "runtime/trace.h"

class QKeyEvent;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace zorukan::app {

class GameWindow final : public QWidget {
    Q_OBJECT
public:
    explicit GameWindow(game::Program& program, QWidget* parent = nullptr);

    // Shows the window with its frame centred on the screen's available area.
    void show_centred();

public Q_SLOTS:
    // Call after anything that may have changed the game, such as timer ticks.
    void sync_from_model();

public:
    // The game drew a segment of the trace: repaint just the area it covers.
    void show_segment(const runtime::Segment& segment);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* make_button(scene::CommandButton& button);
    void make_text_box();
    void make_scroll_bar();
    void set_tab_order();
    void name_for_assistive_technology();
    bool button_key(QWidget* button, const QKeyEvent& key);
    void sync_buttons(const scene::Form1& form);
    void centre_frame();
    draw::Painter painter() const;
    // Schedules a repaint of scene pixels `area`.
    void repaint_scene(const draw::Rect& area);

    game::Program& program_;
    CanvasCache canvas_cache_;
    draw::Damage damage_;
    // Set from the first show until the window manager has framed the window.
    bool centring_ = false;
    QPushButton* cmd_set_ = nullptr;
    QPushButton* cmd_start_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QScrollBar* hscroll1_ = nullptr;
};

}  // namespace zorukan::app
