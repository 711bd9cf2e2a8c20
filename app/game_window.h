#pragma once
// The game's window, Form1. The core paints the whole scene, the buttons and
// the scroll bar included, and rules every control; the window forwards its
// raw input (mouse, touch, keys, activation) to those rules and repaints only
// what changed. Its one native child is the angle box's text entry, so that
// typing keeps the toolkit's input methods, caret, selection and undo.

#include <QTimer>
#include <QWidget>
#include <string_view>

#include "app/qt_canvas.h"
#include "draw/damage.h"
#include "draw/painter.h"
#include "game/program.h"
#include "runtime/trace.h"

class QLineEdit;
class QTouchEvent;

namespace zorukan::app {

class WindowInterface;

class GameWindow final : public QWidget {
    Q_OBJECT
public:
    explicit GameWindow(game::Program& program, QWidget* parent = nullptr);
    ~GameWindow() override;

    // Sizes the window for its screen and shows it with its frame centred on
    // the screen's available area.
    void show_centred();

    game::Program& program() { return program_; }
    const game::Program& program() const { return program_; }
    // Logical pixels a scene pixel: 1, or less where the screen is too small
    // for the scene at the screen's own scale.
    double zoom() const { return zoom_; }
    // Where scene pixels `r` lie in the window's logical pixels, rounded
    // inward to whole pixels.
    QRect logical_inside(const scene::Rect& r) const;
    QLineEdit* angle_entry() const { return text1_; }

public Q_SLOTS:
    // Call after anything that may have changed the game, such as timer ticks.
    void sync_from_model();

public:
    // The game drew a segment of the trace: repaint just the area it covers.
    void show_segment(const runtime::Segment& segment);

    // What assistive technology asks of the controls.
    void press(scene::CommandButton& button);
    void turn_to(int angle);
    void focus_control(std::string_view control);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class WindowInterface;

    void make_text_entry();
    // Fits the window to its screen: the zoom, the size and the text entry.
    void fit_to_screen();
    void centre_frame();
    bool touch(QTouchEvent& event);
    void sync_focus();
    void sync_repeat();
    draw::Painter painter() const;
    // Schedules a repaint of scene pixels `area`.
    void repaint_scene(const draw::Rect& area);

    game::Program& program_;
    CanvasCache canvas_cache_;
    draw::Damage damage_;
    double zoom_ = 1;
    // Set from the first show until the window manager has framed the window.
    bool centring_ = false;
    QLineEdit* text1_ = nullptr;
    // Steps a held scroll bar arrow or track again.
    QTimer repeat_;
    // How the next focus change the rules make came about.
    Qt::FocusReason focus_reason_ = Qt::OtherFocusReason;
    // The touch point a press follows, while it lasts.
    int touch_id_ = -1;
    // Null until assistive technology asks for the window.
    WindowInterface* accessible_ = nullptr;
};

}  // namespace zorukan::app
