#include "app/window_accessible.h"

#include <QLineEdit>
#include <QMessageBox>
#include <algorithm>
#include <cmath>

#include "app/game_window.h"

namespace zorukan::app {

namespace {

QString qtext(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The children in the order a reader meets them, left to right: the two
// buttons, the gauge between them and the angle, the angle box, the bar.
constexpr int kSetButton = 0, kStartButton = 1, kGauge = 2, kAngleBox = 3, kAngleBar = 4;

// A control the core paints, seen through its window.
class ControlInterface : public QAccessibleInterface {
public:
    ControlInterface(GameWindow& window, QAccessibleInterface& parent) : window_(&window), parent_(&parent) {}

    void detach() { window_ = nullptr; }

    bool isValid() const override { return window_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return parent_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!window_) return {};
        const QRect r = window_->logical_inside(place());
        return QRect(window_->mapToGlobal(r.topLeft()), r.size());
    }

    QString text(QAccessible::Text kind) const override {
        if (!window_) return {};
        if (kind == QAccessible::Name) return name();
        if (kind == QAccessible::Value) return value_text();
        return {};
    }

protected:
    virtual scene::Rect place() const = 0;
    virtual QString name() const = 0;
    virtual QString value_text() const { return {}; }

    const scene::Form1& form() const { return window_->program().form(); }
    bool halted() const { return window_->program().halted(); }
    QString label_of(std::string_view control) const {
        const scene::Label* label = form().naming_label(control);
        return label ? qtext(label->Caption) : QString();
    }
    // The control has the focus: the rules give it, and the window holds
    // the keyboard focus itself (not its text entry).
    bool focused(std::string_view control) const {
        return window_->program().controls().focus() == control && window_->hasFocus();
    }

    GameWindow* window_;
    QAccessibleInterface* parent_;
};

class ButtonInterface final : public ControlInterface, public QAccessibleActionInterface {
public:
    ButtonInterface(GameWindow& window, QAccessibleInterface& parent, scene::CommandButton& button)
        : ControlInterface(window, parent), button_(button) {}

    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!window_) return state;
        const bool usable = button_.Enabled && !halted();
        state.disabled = !usable;
        state.focusable = usable;
        state.focused = usable && focused(button_.name);
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& action) override {
        if (!window_) return;
        if (action == pressAction()) window_->press(button_);
        if (action == setFocusAction()) window_->focus_control(button_.name);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

protected:
    scene::Rect place() const override { return scene::pixel_rect(button_); }
    QString name() const override { return label_of(button_.name); }

private:
    scene::CommandButton& button_;
};

// The value of the scroll bar and of the gauge.
class RangeInterface : public ControlInterface, public QAccessibleValueInterface {
public:
    using ControlInterface::ControlInterface;
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this) : nullptr;
    }
};

class BarInterface final : public RangeInterface, public QAccessibleActionInterface {
public:
    using RangeInterface::RangeInterface;

    QAccessible::Role role() const override { return QAccessible::ScrollBar; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!window_) return state;
        state.disabled = halted();
        state.focusable = !halted();
        state.focused = !halted() && focused(bar().name);
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
        return RangeInterface::interface_cast(type);
    }

    QVariant currentValue() const override { return window_ ? int{bar().Value} : 0; }
    void setCurrentValue(const QVariant& value) override {
        if (window_) window_->turn_to(value.toInt());
    }
    QVariant maximumValue() const override { return window_ ? int{bar().Max} : 0; }
    QVariant minimumValue() const override { return window_ ? int{bar().Min} : 0; }
    QVariant minimumStepSize() const override { return int{scene::HScrollBar::SmallChange}; }

    QStringList actionNames() const override { return {setFocusAction()}; }
    void doAction(const QString& action) override {
        if (window_ && action == setFocusAction()) window_->focus_control(bar().name);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

protected:
    scene::Rect place() const override { return scene::pixel_rect(bar()); }
    QString name() const override { return label_of(bar().name); }
    QString value_text() const override { return QString::number(bar().Value); }

private:
    const scene::HScrollBar& bar() const { return form().HScroll1; }
};

// The power gauge: the dark bar (Shape1) grows and shrinks over the white one
// (Shape2), whose width is the gauge's full swing.
class GaugeInterface final : public RangeInterface {
public:
    using RangeInterface::RangeInterface;

    static int power(const scene::Form1& form) {
        return std::clamp(static_cast<int>(std::lround(form.Shape1.Width)), 0, full(form));
    }
    static int full(const scene::Form1& form) { return static_cast<int>(std::lround(form.Shape2.Width)); }

    QAccessible::Role role() const override { return QAccessible::ProgressBar; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        return state;
    }

    QVariant currentValue() const override { return window_ ? power(form()) : 0; }
    void setCurrentValue(const QVariant&) override {}  // only the game swings it
    QVariant maximumValue() const override { return window_ ? full(form()) : 0; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 0; }

protected:
    scene::Rect place() const override { return scene::pixel_rect(form().Shape2); }
    QString name() const override { return qtext(form().Label6.Caption); }
    QString value_text() const override {
        return QStringLiteral("%1%").arg(std::lround(100.0 * power(form()) / std::max(1, full(form()))));
    }
};

// A message box: its title names it, its text is its value, and it is marked
// modal, as it is.
class BoxInterface final : public QAccessibleWidget {
public:
    explicit BoxInterface(QMessageBox* box) : QAccessibleWidget(box, QAccessible::AlertMessage) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.modal = widget()->isModal();
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return static_cast<QMessageBox*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* make_interface(const QString&, QObject* object) {
    if (auto* window = qobject_cast<GameWindow*>(object)) return new WindowInterface(*window);
    if (auto* box = qobject_cast<QMessageBox*>(object)) return new BoxInterface(box);
    return nullptr;
}

ControlInterface* control(QAccessible::Id id) {
    return id ? static_cast<ControlInterface*>(QAccessible::accessibleInterface(id)) : nullptr;
}

}  // namespace

void install_accessible_interfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(make_interface);
        return true;
    }();
    (void)installed;
}

WindowInterface::WindowInterface(GameWindow& window) : QAccessibleWidget(&window, QAccessible::Window), window_(&window) {
    scene::Form1& form = window.program().form();
    const auto add = [this](int index, QAccessibleInterface* child) {
        children_.at(static_cast<std::size_t>(index)) = QAccessible::registerAccessibleInterface(child);
    };
    add(kSetButton, new ButtonInterface(window, *this, form.Cmd_Set));
    add(kStartButton, new ButtonInterface(window, *this, form.Cmd_Start));
    add(kGauge, new GaugeInterface(window, *this));
    add(kAngleBar, new BarInterface(window, *this));
    window.accessible_ = this;
    shown_ = now();
}

WindowInterface::~WindowInterface() {
    window_gone();
    for (QAccessible::Id id : children_)
        if (id) QAccessible::deleteAccessibleInterface(id);
}

void WindowInterface::window_gone() {
    if (!window_) return;
    window_->accessible_ = nullptr;
    window_ = nullptr;
    for (QAccessible::Id id : children_)
        if (ControlInterface* child = control(id)) child->detach();
}

int WindowInterface::childCount() const { return static_cast<int>(children_.size()); }

QAccessibleInterface* WindowInterface::child(int index) const {
    if (index < 0 || index >= childCount() || !window_) return nullptr;
    if (index == kAngleBox) return QAccessible::queryAccessibleInterface(window_->angle_entry());
    return QAccessible::accessibleInterface(children_.at(static_cast<std::size_t>(index)));
}

int WindowInterface::indexOfChild(const QAccessibleInterface* wanted) const {
    for (int i = 0; i < childCount(); ++i)
        if (child(i) == wanted) return i;
    return -1;
}

QAccessibleInterface* WindowInterface::childAt(int x, int y) const {
    for (int i = 0; i < childCount(); ++i) {
        QAccessibleInterface* candidate = child(i);
        if (candidate && candidate->rect().contains(x, y)) return candidate;
    }
    return nullptr;
}

QAccessibleInterface* WindowInterface::focusChild() const {
    if (!window_) return nullptr;
    if (window_->angle_entry()->hasFocus()) return child(kAngleBox);
    if (!window_->hasFocus()) return nullptr;
    return virtual_child(window_->program().controls().focus());
}

QAccessibleInterface* WindowInterface::virtual_child(std::string_view control) const {
    const scene::Form1& form = window_->program().form();
    if (control == form.Cmd_Set.name) return child(kSetButton);
    if (control == form.Cmd_Start.name) return child(kStartButton);
    if (control == form.HScroll1.name) return child(kAngleBar);
    return nullptr;
}

WindowInterface::Shown WindowInterface::now() const {
    const game::Program& program = window_->program();
    const scene::Form1& form = program.form();
    return {program.controls().focus(), window_->hasFocus(), form.Cmd_Set.Enabled, form.Cmd_Start.Enabled,
            program.halted(),           form.HScroll1.Value, GaugeInterface::power(form)};
}

void WindowInterface::send_focus(std::string_view control) {
    if (QAccessibleInterface* focused = virtual_child(control)) {
        QAccessibleEvent event(focused, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void WindowInterface::announce() {
    if (!window_) return;
    const Shown was = shown_;
    shown_ = now();
    // A focus that came with the window's own keyboard focus is told once
    // the toolkit has told of the window (announce_focus).
    if (shown_.focus != was.focus && shown_.window_focused && was.window_focused) send_focus(shown_.focus);
    const auto state_changed = [](QAccessibleInterface* child) {
        QAccessible::State changed;
        changed.disabled = true;
        changed.focusable = true;
        QAccessibleStateChangeEvent event(child, changed);
        QAccessible::updateAccessibility(&event);
    };
    const bool halted = shown_.halted != was.halted;
    if (halted || shown_.set_enabled != was.set_enabled) state_changed(child(kSetButton));
    if (halted || shown_.start_enabled != was.start_enabled) state_changed(child(kStartButton));
    if (shown_.angle != was.angle) {
        QAccessibleValueChangeEvent event(child(kAngleBar), shown_.angle);
        QAccessible::updateAccessibility(&event);
    }
    if (shown_.power != was.power) {
        QAccessibleValueChangeEvent event(child(kGauge), shown_.power);
        QAccessible::updateAccessibility(&event);
    }
}

void WindowInterface::announce_focus() {
    if (!window_) return;
    shown_.window_focused = window_->hasFocus();
    if (shown_.window_focused) send_focus(window_->program().controls().focus());
}

}  // namespace zorukan::app
