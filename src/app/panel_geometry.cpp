#include "app/panel_geometry.h"

#include <algorithm>

namespace PanelGeometry {
namespace {

double top(const QRectF& r) {
    return r.y() + r.height();
}

double intersectionArea(const QRectF& a, const QRectF& b) {
    const QRectF overlap = a.intersected(b);
    if (overlap.isEmpty())
        return 0.0;
    return overlap.width() * overlap.height();
}

const Screen* screenFor(const QRectF& rect, const Screens& screens) {
    if (screens.all.isEmpty())
        return screens.main ? &*screens.main : nullptr;
    const Screen* best = &screens.all.front();
    double bestArea = intersectionArea(rect, best->frame);
    for (const Screen& screen : screens.all) {
        const double area = intersectionArea(rect, screen.frame);
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    return best;
}

} // namespace

QRectF clampedToScreen(const QRectF& rect, const Screens& screens) {
    const Screen* screen = screenFor(rect, screens);
    if (!screen)
        return rect;
    const QRectF& v = screen->visible;
    double x = v.x();
    if (v.width() > rect.width())
        x = std::min(std::max(rect.x(), v.x()), v.x() + v.width() - rect.width());
    double y = top(v) - rect.height();
    if (v.height() > rect.height())
        y = std::min(std::max(rect.y(), v.y()), top(v) - rect.height());
    return QRectF(x, y, rect.width(), rect.height());
}

bool isVisibleOnAnyScreen(QPointF origin, const Screens& screens) {
    const QRectF square(origin, QSizeF(kNominalSide, kNominalSide));
    const double needed = 0.5 * kNominalSide * kNominalSide;
    return std::any_of(screens.all.begin(), screens.all.end(), [&](const Screen& screen) {
        const QRectF overlap = square.intersected(screen.frame);
        return !overlap.isNull() && overlap.width() * overlap.height() >= needed;
    });
}

QRectF restoredFrame(const std::optional<QPointF>& savedOrigin, const QRectF& current,
                     const Screens& screens) {
    if (savedOrigin && isVisibleOnAnyScreen(*savedOrigin, screens))
        return clampedToScreen(QRectF(*savedOrigin, current.size()), screens);

    std::optional<Screen> screen = screens.main;
    if (!screen && !screens.all.isEmpty())
        screen = screens.all.front();
    if (!screen)
        return current;
    const QRectF& v = screen->visible;
    const QPointF corner(v.x() + v.width() - kNominalSide - kDefaultMargin,
                         top(v) - kNominalSide - kDefaultMargin);
    return clampedToScreen(QRectF(corner, current.size()), screens);
}

QSizeF contentSize(double scale) {
    return QSizeF(kContentWidth * scale, kContentHeight * scale);
}

QRectF resizedFrame(const QRectF& current, double scale, const Screens& screens) {
    const QSizeF size = contentSize(scale);
    const QRectF moved(QPointF(current.x(), top(current) - size.height()), size);
    return clampedToScreen(moved, screens);
}

} // namespace PanelGeometry
