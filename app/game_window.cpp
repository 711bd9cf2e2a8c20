#include "app/game_window.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTouchEvent>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/fonts.h"
#include "app/window_accessible.h"
#include "draw/control_look.h"
#include "draw/window_place.h"

namespace zorukan::app {

namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// `r` scaled by `factor` and grown to whole pixels, with one to spare on every
// side: the toolkit rounds areas on their way between the window's units and
// device pixels, and no pixel of `r` may be lost on the way.
QRect outward(int x, int y, int w, int h, qreal factor) {
    const auto down = [factor](int v) { return static_cast<int>(std::floor(v * factor)) - 1; };
    const auto up = [factor](int v) { return static_cast<int>(std::ceil(v * factor)) + 1; };
    return QRect(QPoint(down(x), down(y)), QPoint(up(x + w) - 1, up(y + h) - 1));
}

// Divisions of whole device pixels by the ratio land a hair off whole
// numbers; this much off still counts as whole.
constexpr double kHair = 1e-6;

std::optional<scene::Key> scene_key(const QKeyEvent& event) {
    // A key with Ctrl, Alt or Meta is a shortcut, never a press of a control.
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
    switch (event.key()) {
    case Qt::Key_Left: return scene::Key::Left;
    case Qt::Key_Right: return scene::Key::Right;
    case Qt::Key_Up: return scene::Key::Up;
    case Qt::Key_Down: return scene::Key::Down;
    case Qt::Key_PageUp: return scene::Key::PageUp;
    case Qt::Key_PageDown: return scene::Key::PageDown;
    case Qt::Key_Home: return scene::Key::Home;
    case Qt::Key_End: return scene::Key::End;
    case Qt::Key_Space: return scene::Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter: return scene::Key::Enter;
    default: return std::nullopt;
    }
}

}  // namespace

GameWindow::GameWindow(game::Program& program, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      program_(program),
      damage_(program.form(), program.controls().look()) {
    install_accessible_interfaces();
    setObjectName("Form1");
    setWindowTitle(text(scene::Form1::Caption));
    setAttribute(Qt::WA_OpaquePaintEvent);  // the scene covers every pixel
    setAttribute(Qt::WA_AcceptTouchEvents);
    // The controls' rules decide where the focus goes; the toolkit's own
    // focus chain must never pick a control.
    setFocusPolicy(Qt::NoFocus);
    setFont(scene_font(scene::FontId::WindowDefault));
    make_text_entry();
    repeat_.setSingleShot(true);
    connect(&repeat_, &QTimer::timeout, this, [this] {
        program_.controls().repeat();
        sync_from_model();
    });
    program_.controls().set_active(isActiveWindow());
    fit_to_screen();
    sync_from_model();
}

GameWindow::~GameWindow() {
    if (accessible_) accessible_->window_gone();
}

void GameWindow::make_text_entry() {
    const scene::TextBox& control = program_.form().Text1;
    text1_ = new QLineEdit(this);
    text1_->setObjectName(text(control.name));
    // The core paints the box's frame and white field; the entry lies inside
    // them and shows only its text, caret and selection.
    text1_->setFrame(false);
    text1_->setTextMargins(0, 0, 0, 0);
    QPalette palette = text1_->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, Qt::black);
    text1_->setPalette(palette);
    text1_->setMaxLength(scene::TextBox::MaxLength);
    // A click puts the focus there; Tab goes through the rules.
    text1_->setFocusPolicy(Qt::ClickFocus);
    if (const scene::Label* label = program_.form().naming_label(control.name))
        text1_->setAccessibleName(text(label->Caption));
    text1_->installEventFilter(this);
    connect(text1_, &QLineEdit::textEdited, this, [this](const QString& typed) {
        program_.type(typed.toStdString());
    });
}

void GameWindow::fit_to_screen() {
    const qreal ratio = devicePixelRatioF();
    zoom_ = 1;
    if (const QScreen* screen = this->screen()) {
        QRect room = screen->availableGeometry();
        // Once the window manager has framed the window, the frame takes its
        // share of the room.
        const QRect frame = frameGeometry(), inside = geometry();
        room.adjust(inside.left() - frame.left(), inside.top() - frame.top(), inside.right() - frame.right(),
                    inside.bottom() - frame.bottom());
        // Shrunk where the screen is too small, but never enlarged: on a
        // large screen the window keeps the scene's size at the screen's scale.
        const draw::WindowPlace place = draw::place_window(static_cast<int>(std::lround(room.width() * ratio)),
                                                           static_cast<int>(std::lround(room.height() * ratio)), ratio, 1);
        zoom_ = place.scale / ratio;
    }
    const draw::Rect device = painter().window();
    setFixedSize(static_cast<int>(std::ceil(device.w / ratio - kHair)),
                 static_cast<int>(std::ceil(device.h / ratio - kHair)));
    text1_->setGeometry(logical_inside(draw::text_entry_area(program_.form().Text1)));
    QFont font = scene_font(scene::FontId::WindowDefault);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * zoom_))));
    text1_->setFont(font);
}

QRect GameWindow::logical_inside(const scene::Rect& r) const {
    const draw::Rect device = painter().to_device(r);
    const qreal ratio = devicePixelRatioF();
    const auto up = [ratio](int v) { return static_cast<int>(std::ceil(v / ratio - kHair)); };
    const auto down = [ratio](int v) { return static_cast<int>(std::floor(v / ratio + kHair)); };
    return QRect(QPoint(up(device.x), up(device.y)), QPoint(down(device.right()) - 1, down(device.bottom()) - 1));
}

void GameWindow::show_centred() {
    fit_to_screen();
    centre_frame();
    // The window manager adds its frame only once the window is shown; the
    // first move after that reveals it, and the frame is centred then.
    centring_ = true;
    show();
}

void GameWindow::centre_frame() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(room.center());
    // A frame wider or taller than the room keeps its top left corner, and
    // with it the title bar, on the screen.
    frame.moveTopLeft(QPoint(std::max(frame.left(), room.left()), std::max(frame.top(), room.top())));
    move(frame.topLeft());
}

void GameWindow::moveEvent(QMoveEvent* event) {
    if (centring_ && frameGeometry() != geometry()) {
        centring_ = false;
        fit_to_screen();
        centre_frame();
    }
    QWidget::moveEvent(event);
}

bool GameWindow::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel: return touch(static_cast<QTouchEvent&>(*event));
    default: return QWidget::event(event);
    }
}

bool GameWindow::touch(QTouchEvent& event) {
    scene::ControlRules& rules = program_.controls();
    if (event.type() == QEvent::TouchCancel) {
        if (touch_id_ >= 0) rules.pointer_cancel();
        touch_id_ = -1;
        sync_from_model();
        return true;
    }
    for (const QEventPoint& point : event.points()) {
        const QPointF at = point.position() / zoom_;
        if (point.state() == QEventPoint::Pressed && touch_id_ < 0) {
            // A finger on the text entry itself places its caret: left
            // unanswered, the touch reaches the entry as a mouse press.
            if (event.type() == QEvent::TouchBegin && text1_->geometry().contains(point.position().toPoint())) {
                event.ignore();
                return false;
            }
            if (rules.pointer_down(at.x(), at.y(), scene::PointerKind::Touch, zoom_)) touch_id_ = point.id();
        } else if (point.id() == touch_id_ && point.state() == QEventPoint::Released) {
            rules.pointer_up(at.x(), at.y());
            touch_id_ = -1;
        } else if (point.id() == touch_id_ && point.state() == QEventPoint::Updated) {
            rules.pointer_move(at.x(), at.y());
        }
    }
    sync_from_model();
    event.accept();
    return true;
}

void GameWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPointF at = event->position() / zoom_;
    focus_reason_ = Qt::MouseFocusReason;
    program_.controls().pointer_down(at.x(), at.y(), scene::PointerKind::Mouse, zoom_);
    sync_from_model();
}

void GameWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
    const QPointF at = event->position() / zoom_;
    program_.controls().pointer_move(at.x(), at.y());
    sync_from_model();
}

void GameWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    const QPointF at = event->position() / zoom_;
    program_.controls().pointer_up(at.x(), at.y());
    sync_from_model();
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
    const std::optional<scene::Key> key = scene_key(*event);
    if (!key || !program_.controls().key_down(*key, event->isAutoRepeat())) return QWidget::keyPressEvent(event);
    sync_from_model();
}

void GameWindow::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // The toolkit tells assistive technology of the window's focus after
    // this; the control that has it is told after that.
    if (accessible_) QTimer::singleShot(0, this, [this] {
        if (accessible_) accessible_->announce_focus();
    });
}

bool GameWindow::focusNextPrevChild(bool next) {
    // Tab and Backtab, from the window or from the text entry.
    program_.controls().key_down(next ? scene::Key::Tab : scene::Key::BackTab, false);
    focus_reason_ = next ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    sync_from_model();
    return true;
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event) {
    // A click into the entry, or anything else that gives it the focus.
    if (watched == text1_ && event->type() == QEvent::FocusIn &&
        program_.controls().focus() != program_.form().Text1.name) {
        program_.controls().focus_on(program_.form().Text1.name);
        sync_from_model();
    }
    return QWidget::eventFilter(watched, event);
}

void GameWindow::press(scene::CommandButton& button) {
    if (program_.halted()) return;
    program_.click(button);
    sync_from_model();
}

void GameWindow::turn_to(int angle) {
    if (program_.halted()) return;
    program_.scroll_to(angle);
    sync_from_model();
}

void GameWindow::focus_control(std::string_view control) {
    program_.controls().focus_on(control);
    sync_from_model();
}

void GameWindow::sync_focus() {
    const bool halted = program_.halted();
    const bool in_entry = program_.controls().focus() == program_.form().Text1.name && !halted;
    // Where the toolkit's keyboard focus goes, it also goes while the window
    // is inactive, to be there when the window is active again.
    if (in_entry && focusWidget() != text1_) text1_->setFocus(focus_reason_);
    if (!in_entry && focusWidget() != this) setFocus(focus_reason_);
    focus_reason_ = Qt::OtherFocusReason;
    // Disabled only once the focus has left it: a focused entry that is
    // disabled would hand the focus on through the tab order.
    if (text1_->isEnabled() == halted) text1_->setEnabled(!halted);
}

void GameWindow::sync_repeat() {
    const std::optional<int> due = program_.controls().repeat_in_ms();
    if (!due) repeat_.stop();
    else if (!repeat_.isActive()) repeat_.start(*due);
}

void GameWindow::sync_from_model() {
    scene::ControlRules& rules = program_.controls();
    rules.settle();
    const scene::Form1& form = program_.form();
    sync_focus();
    // Only a real change of the text replaces it, so that ticks leave the
    // player's caret, selection and undo history alone.
    const QString angle_text = QString::fromStdString(form.Text1.Text);
    if (text1_->text() != angle_text) text1_->setText(angle_text);
    for (const draw::Rect& area : damage_.changes(form, rules.look())) repaint_scene(area);
    sync_repeat();
    if (accessible_) accessible_->announce();
}

draw::Painter GameWindow::painter() const { return draw::Painter(devicePixelRatioF() * zoom_); }

void GameWindow::repaint_scene(const draw::Rect& area) {
    const draw::Rect device = painter().to_device(area);
    update(outward(device.x, device.y, device.w, device.h, 1 / devicePixelRatioF()));
}

void GameWindow::paintEvent(QPaintEvent* event) {
    QPainter qpainter(this);
    const qreal ratio = devicePixelRatioF();
    const draw::Painter painter = this->painter();
    const draw::Rect scene_area = painter.window();
    const scene::Rgb back = scene::Form1::BackColor;
    const scene::ControlLook look = program_.controls().look();
    QtCanvas canvas(qpainter, canvas_cache_);
    for (const QRect& area : event->region()) {
        const QRect device = outward(area.x(), area.y(), area.width(), area.height(), ratio);
        // A window system may force another size on the window anyway, and
        // a shrunk scene may leave a pixel at its edges; there the window
        // shows its own colour, not stale pixels.
        const QRegion beyond = QRegion(device) - QRect(scene_area.x, scene_area.y, scene_area.w, scene_area.h);
        for (const QRect& r : beyond) {
            canvas.clip({r.x(), r.y(), r.width(), r.height()});
            canvas.fill({r.x(), r.y(), r.width(), r.height()}, back);
        }
        painter.paint(canvas, program_.form(), program_.trace(), {device.x(), device.y(), device.width(), device.height()},
                      look);
    }
}

void GameWindow::changeEvent(QEvent* event) {
    // The scene has one size: a maximised or full-screen state asked for by
    // the window system is undone at once.
    constexpr Qt::WindowStates kResizing = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event->type() == QEvent::WindowStateChange && (windowState() & kResizing))
        setWindowState(windowState() & ~kResizing);
    if (event->type() == QEvent::ActivationChange) {
        scene::ControlRules& rules = program_.controls();
        rules.set_active(isActiveWindow());
        // A press cannot outlast the window's turn: the release would go to
        // whatever window took it, a message box say.
        if (!isActiveWindow()) {
            rules.pointer_cancel();
            touch_id_ = -1;
        }
        sync_from_model();
    }
    QWidget::changeEvent(event);
}

void GameWindow::show_segment(const runtime::Segment& segment) { repaint_scene(draw::segment_area(segment)); }

}  // namespace zorukan::app
