#pragma once
// What assistive technology reads of the game's window and its message
// boxes. The core paints the buttons, the scroll bar and the power gauge, so
// they reach assistive technology as virtual children of the window, each
// named by the label the player reads beside it; the angle box is a real text
// entry and speaks for itself.

#include <QAccessibleWidget>
#include <array>
#include <string_view>

namespace zorukan::app {

class GameWindow;

// Lets the toolkit build the interfaces below; the first call is enough.
void install_accessible_interfaces();

class WindowInterface final : public QAccessibleWidget {
public:
    explicit WindowInterface(GameWindow& window);
    ~WindowInterface() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // Sends events for what changed since the last call: the focus, the
    // buttons' states, the angle and the power.
    void announce();
    // The window got the keyboard focus back.
    void announce_focus();
    // The window is being destroyed.
    void window_gone();

private:
    struct Shown {
        std::string_view focus;
        bool window_focused = false;
        bool set_enabled = false, start_enabled = false, halted = false;
        int angle = 0;
        int power = 0;
    };
    Shown now() const;
    QAccessibleInterface* virtual_child(std::string_view control) const;
    void send_focus(std::string_view control);

    GameWindow* window_;
    // The virtual children, by their places among all children; the angle
    // box's place holds none.
    std::array<QAccessible::Id, 5> children_{};
    Shown shown_;
};

}  // namespace zorukan::app
