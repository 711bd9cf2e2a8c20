#include "app/game_window.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <utility>

#include "app/fonts.h"
#include "app/panel_style.h"
#include "scene/pictures.h"

namespace zorukan::app {

namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

template <typename Control>
QRect px_rect(const Control& control) {
    const draw::Rect r = scene::pixel_rect(control);
    return {r.x, r.y, r.w, r.h};
}

// `r` scaled by `factor` and grown to whole pixels, with one to spare on every
// side: the toolkit rounds areas on their way between the window's units and
// device pixels, and no pixel of `r` may be lost on the way.
QRect outward(int x, int y, int w, int h, qreal factor) {
    const auto down = [factor](int v) { return static_cast<int>(std::floor(v * factor)) - 1; };
    const auto up = [factor](int v) { return static_cast<int>(std::ceil(v * factor)) + 1; };
    return QRect(QPoint(down(x), down(y)), QPoint(up(x + w) - 1, up(y + h) - 1));
}

std::optional<scene::Arrow> arrow(int key) {
    switch (key) {
    case Qt::Key_Left: return scene::Arrow::Left;
    case Qt::Key_Right: return scene::Arrow::Right;
    case Qt::Key_Up: return scene::Arrow::Up;
    case Qt::Key_Down: return scene::Arrow::Down;
    default: return std::nullopt;
    }
}

}  // namespace

GameWindow::GameWindow(game::Program& program, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      program_(program),
      damage_(program.form()) {
    setObjectName("Form1");
    setWindowTitle(text(scene::Form1::Caption));
    setFixedSize(scene::pixels(scene::Form1::ClientWidth), scene::pixels(scene::Form1::ClientHeight));
    setAttribute(Qt::WA_OpaquePaintEvent);  // the scene covers every pixel
    setFont(scene_font(scene::FontId::WindowDefault));

    cmd_set_ = make_button(program_.form().Cmd_Set);
    cmd_start_ = make_button(program_.form().Cmd_Start);
    make_text_box();
    make_scroll_bar();
    // Made after its controls, so that it is also deleted after them.
    auto* style = new PanelStyle;
    style->setParent(this);
    for (QWidget* control : std::initializer_list<QWidget*>{cmd_set_, cmd_start_, text1_, hscroll1_})
        style->apply_to(control);
    set_tab_order();
    name_for_assistive_technology();

    sync_from_model();
}

void GameWindow::show_centred() {
    centre_frame();
    show();
    // The window manager adds its frame only once the window is shown; the
    // first move after that reveals it, and the frame is centred then.
    centring_ = true;
}

void GameWindow::centre_frame() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void GameWindow::moveEvent(QMoveEvent* event) {
    if (centring_ && frameGeometry() != geometry()) {
        centring_ = false;
        centre_frame();
    }
    QWidget::moveEvent(event);
}

QPushButton* GameWindow::make_button(scene::CommandButton& control) {
    auto* button = new QPushButton(this);  // no caption: the label below names it
    button->setObjectName(text(control.name));
    button->setGeometry(px_rect(control));
    button->installEventFilter(this);
    connect(button, &QPushButton::clicked, this, [this, &control] {
        program_.click(control);
        sync_from_model();
    });
    return button;
}

void GameWindow::make_text_box() {
    const scene::TextBox& control = program_.form().Text1;
    text1_ = new QLineEdit(this);
    text1_->setObjectName(text(control.name));
    text1_->setGeometry(px_rect(control));
    text1_->setTextMargins(0, 0, 0, 0);
    text1_->setMaxLength(scene::TextBox::MaxLength);
    connect(text1_, &QLineEdit::textEdited, this, [this](const QString& typed) {
        program_.type(typed.toStdString());
    });
}

void GameWindow::make_scroll_bar() {
    const scene::HScrollBar& control = program_.form().HScroll1;
    hscroll1_ = new QScrollBar(Qt::Horizontal, this);
    hscroll1_->setObjectName(text(control.name));
    hscroll1_->setGeometry(px_rect(control));
    hscroll1_->setRange(control.Min, control.Max);
    hscroll1_->setSingleStep(scene::HScrollBar::SmallChange);
    hscroll1_->setPageStep(scene::HScrollBar::LargeChange);
    // The change comes after a click, or on release after a drag, never while
    // the thumb moves; and the arrow keys must turn the barrel.
    hscroll1_->setTracking(false);
    hscroll1_->setInvertedControls(false);  // Qt's scroll bars default to true: Left would raise the angle
    hscroll1_->setFocusPolicy(Qt::StrongFocus);
    connect(hscroll1_, &QScrollBar::valueChanged, this, [this](int value) {
        program_.scroll_to(value);
        sync_from_model();
    });
}

void GameWindow::set_tab_order() {
    // Labels hold places in the tab order but never take the focus.
    QWidget* previous = nullptr;
    for (const scene::TabStop& stop : scene::Form1::tab_order()) {
        auto* widget = findChild<QWidget*>(text(stop.name), Qt::FindDirectChildrenOnly);
        if (!widget) continue;
        if (previous) setTabOrder(previous, widget);
        previous = widget;
    }
}

void GameWindow::name_for_assistive_technology() {
    // Each control is named by the label the player reads beside it.
    const scene::Form1& form = program_.form();
    for (QWidget* widget : std::initializer_list<QWidget*>{cmd_set_, cmd_start_, text1_, hscroll1_}) {
        if (const scene::Label* label = form.naming_label(widget->objectName().toStdString()))
            widget->setAccessibleName(text(label->Caption));
    }
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && event->type() == QEvent::KeyPress && button_key(button, *static_cast<QKeyEvent*>(event))) return true;
    return QWidget::eventFilter(watched, event);
}

bool GameWindow::button_key(QWidget* button, const QKeyEvent& key) {
    // Enter on a focused button presses it, as Space does; a held key does
    // not press it again.
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        if (!key.isAutoRepeat()) static_cast<QPushButton*>(button)->click();
        return true;
    }
    // An arrow turns the barrel and the focus stays, so Space, Space still
    // sets and fires.
    if (const auto pressed = arrow(key.key())) {
        program_.scroll_to(program_.form().arrow_on_button(*pressed));
        sync_from_model();
        return true;
    }
    return false;
}

void GameWindow::sync_buttons(const scene::Form1& form) {
    // Made usable first, so that the focus can move there before the
    // focused button is disabled; the toolkit alone would pass the focus down
    // the tab order, to the angle box, where the next Space would replace
    // the angle.
    const std::pair<QPushButton*, bool> buttons[] = {{cmd_set_, form.Cmd_Set.Enabled},
                                                     {cmd_start_, form.Cmd_Start.Enabled}};
    for (const auto& [button, enabled] : buttons)
        if (enabled) button->setEnabled(true);
    if (const QWidget* focused = focusWidget()) {
        const std::string held = focused->objectName().toStdString();
        const std::string_view next = form.focus_after(held);
        if (next != held) {
            if (auto* widget = findChild<QWidget*>(text(next), Qt::FindDirectChildrenOnly))
                widget->setFocus(Qt::OtherFocusReason);
        }
    }
    for (const auto& [button, enabled] : buttons)
        if (!enabled) button->setEnabled(false);
}

void GameWindow::sync_from_model() {
    const scene::Form1& form = program_.form();
    sync_buttons(form);
    const QString angle_text = QString::fromStdString(form.Text1.Text);
    if (text1_->text() != angle_text) text1_->setText(angle_text);
    if (hscroll1_->value() != form.HScroll1.Value) {
        const QSignalBlocker quiet(hscroll1_);
        hscroll1_->setValue(form.HScroll1.Value);
    }

    for (const draw::Rect& area : damage_.changes(form)) repaint_scene(area);
}

draw::Painter GameWindow::painter() const { return draw::Painter(devicePixelRatioF()); }

void GameWindow::repaint_scene(const draw::Rect& area) {
    const draw::Rect device = painter().to_device(area);
    update(outward(device.x, device.y, device.w, device.h, 1 / devicePixelRatioF()));
}

void GameWindow::paintEvent(QPaintEvent* event) {
    QPainter qpainter(this);
    const qreal ratio = devicePixelRatioF();
    // A window system may force another size on the window anyway; beyond
    // the scene it shows the window's own colour, not stale pixels.
    const scene::Rgb back = scene::Form1::BackColor;
    const QRect scene_area(0, 0, scene::pixels(scene::Form1::ClientWidth), scene::pixels(scene::Form1::ClientHeight));
    for (const QRect& beyond : event->region() - scene_area)
        qpainter.fillRect(beyond, QColor(back.r, back.g, back.b));
    const draw::Painter painter = this->painter();
    QtCanvas canvas(qpainter, canvas_cache_);
    for (const QRect& area : event->region()) {
        const QRect device = outward(area.x(), area.y(), area.width(), area.height(), ratio);
        painter.paint(canvas, program_.form(), program_.trace(), {device.x(), device.y(), device.width(), device.height()});
    }
}

void GameWindow::changeEvent(QEvent* event) {
    // The scene has one size: a maximised or full-screen state asked for by
    // the window system is undone at once.
    constexpr Qt::WindowStates kResizing = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event->type() == QEvent::WindowStateChange && (windowState() & kResizing))
        setWindowState(windowState() & ~kResizing);
    QWidget::changeEvent(event);
}

void GameWindow::show_segment(const runtime::Segment& segment) { repaint_scene(draw::segment_area(segment)); }

}  // namespace zorukan::app
