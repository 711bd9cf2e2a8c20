#include "app/panel_style.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace zorukan::app {

namespace {

// The mark of the focus fills a raised face inside its bevel, leaving
// `inset` pixels of the face around it.
void draw_focus_mark(QPainter* painter, const QRect& face, int inset, const QPalette& palette) {
    painter->fillRect(face.adjusted(inset, inset, -inset, -inset), palette.color(QPalette::Active, QPalette::Highlight));
}

}  // namespace

PanelStyle::PanelStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

void PanelStyle::apply_to(QWidget* control) {
    control->setStyle(this);
    control->setPalette(standardPalette());
}

void PanelStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    const bool enabled = option->state & State_Enabled;
    if (element == CE_PushButton && !enabled) {
        // Flat and a shade darker than the raised face, outlined so that it
        // still reads as a button.
        const QPalette& palette = option->palette;
        painter->fillRect(option->rect, palette.color(QPalette::Disabled, QPalette::Button).darker(135));
        painter->setPen(palette.color(QPalette::Disabled, QPalette::Dark));
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        return;
    }
    if (element == CE_PushButton && (option->state & State_HasFocus)) {
        QStyleOptionButton unfocused = *qstyleoption_cast<const QStyleOptionButton*>(option);
        unfocused.state &= ~State_HasFocus;
        QProxyStyle::drawControl(element, &unfocused, painter, widget);
        draw_focus_mark(painter, option->rect, 4, option->palette);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void PanelStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                    const QWidget* widget) const {
    if (control != CC_ScrollBar || !(option->state & State_HasFocus)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QStyleOptionSlider unfocused = *qstyleoption_cast<const QStyleOptionSlider*>(option);
    unfocused.state &= ~State_HasFocus;
    QProxyStyle::drawComplexControl(control, &unfocused, painter, widget);
    // The thumb is narrow: the mark fills all of it inside the bevel.
    draw_focus_mark(painter, subControlRect(control, option, SC_ScrollBarSlider, widget), 2, option->palette);
}

}  // namespace zorukan::app
