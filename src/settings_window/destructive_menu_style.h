#pragma once

#include <QProxyStyle>

class QAction;
class QMenu;

// Draws the menu entries that destroy something (deleting a photo) in red, as desktop menus
// mark them, with the rest of the menu in the application's style.
class DestructiveMenuStyle : public QProxyStyle {
public:
    // Gives the menu this style (owned by the menu) and marks the action as destructive.
    static void mark(QMenu* menu, QAction* action);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

private:
    DestructiveMenuStyle();
    QStringList m_texts;
};
