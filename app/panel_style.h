#pragma once
// The look of the window's controls: the classic bevelled style, which suits
// the grey metallic panel, with two changes a player needs. The buttons have
// no captions, so a disabled one is drawn flat and dimmed, plainly unlike the
// raised face of the one that can be pressed; and the focused button or
// scroll bar thumb is filled with the highlight colour, so a keyboard player
// sees where Space, Enter and the arrow keys go.

#include <QProxyStyle>

namespace zorukan::app {

class PanelStyle final : public QProxyStyle {
public:
    PanelStyle();

    // Gives `control` this style and its palette.
    void apply_to(QWidget* control);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
};

}  // namespace zorukan::app
