#include "settings_window/destructive_menu_style.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace {

const QColor kRed(0xE0, 0x2F, 0x26);

} // namespace

DestructiveMenuStyle::DestructiveMenuStyle()
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

void DestructiveMenuStyle::mark(QMenu* menu, QAction* action) {
    auto* style = dynamic_cast<DestructiveMenuStyle*>(menu->style());
    if (!style) {
        style = new DestructiveMenuStyle;
        style->setParent(menu);
        menu->setStyle(style);
    }
    // A style option knows its entry only by its text.
    style->m_texts.append(action->text());
}

void DestructiveMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                                       QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || !item || !m_texts.contains(item->text) ||
        !(item->state & State_Enabled)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    QStyleOptionMenuItem red = *item;
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        red.palette.setColor(role, kRed);
    QProxyStyle::drawControl(element, &red, painter, widget);
}
