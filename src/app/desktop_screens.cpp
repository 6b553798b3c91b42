#include "app/desktop_screens.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace DesktopScreens {

QRectF toPanelCoordinates(const QRect& qtRect, const QRect& mainFrame) {
    const double mainBottom = mainFrame.y() + mainFrame.height();
    return QRectF(qtRect.x() - mainFrame.x(), mainBottom - (qtRect.y() + qtRect.height()),
                  qtRect.width(), qtRect.height());
}

QRect toQtCoordinates(const QRectF& panelRect, const QRect& mainFrame) {
    const double mainBottom = mainFrame.y() + mainFrame.height();
    const int width = int(std::lround(panelRect.width()));
    const int height = int(std::lround(panelRect.height()));
    const int x = int(std::lround(panelRect.x() + mainFrame.x()));
    const int top = int(std::lround(mainBottom - (panelRect.y() + panelRect.height())));
    return QRect(x, top, width, height);
}

QRect mainFrame() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry() : QRect();
}

PanelGeometry::Screens current() {
    const QRect reference = mainFrame();
    auto convert = [&](const QScreen* screen) {
        return PanelGeometry::Screen{toPanelCoordinates(screen->geometry(), reference),
                                     toPanelCoordinates(screen->availableGeometry(), reference)};
    };
    PanelGeometry::Screens screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.all.append(convert(screen));
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screens.main = convert(primary);
    return screens;
}

} // namespace DesktopScreens
