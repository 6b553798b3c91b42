#include "settings_window/crop_geometry.h"

#include <algorithm>

namespace CropGeometry {

QRectF fitRect(QSizeF area, QSizeF picture) {
    const double w = picture.width(), h = picture.height();
    if (!(w > 0) || !(h > 0))
        return QRectF(QPointF(0, 0), area);
    const double s = std::min(area.width() / w, area.height() / h);
    return QRectF((area.width() - w * s) / 2, (area.height() - h * s) / 2, w * s, h * s);
}

QRectF moved(const QRectF& start, double dx, double dy) {
    const double x = std::min(std::max(start.x() + dx, 0.0), 1.0 - start.width());
    const double y = std::min(std::max(start.y() + dy, 0.0), 1.0 - start.height());
    return QRectF(x, y, start.width(), start.height());
}

QRectF resized(const QRectF& start, Corner corner, double dx, double dy) {
    double minX = start.left(), minY = start.top(), maxX = start.right(), maxY = start.bottom();
    const bool left = corner == Corner::tl || corner == Corner::bl;
    const bool top = corner == Corner::tl || corner == Corner::tr;
    (left ? minX : maxX) += dx;
    (top ? minY : maxY) += dy;
    const double x0 = std::max(0.0, std::min(minX, maxX - kMinSize));
    const double y0 = std::max(0.0, std::min(minY, maxY - kMinSize));
    const double x1 = std::min(1.0, std::max(maxX, x0 + kMinSize));
    const double y1 = std::min(1.0, std::max(maxY, y0 + kMinSize));
    return QRectF(x0, y0, x1 - x0, y1 - y0);
}

QRectF toView(const QRectF& unit, const QRectF& fit) {
    return QRectF(fit.x() + unit.x() * fit.width(), fit.y() + unit.y() * fit.height(),
                  unit.width() * fit.width(), unit.height() * fit.height());
}

QPointF cornerPoint(const QRectF& rect, Corner corner) {
    switch (corner) {
    case Corner::tl:
        return rect.topLeft();
    case Corner::tr:
        return rect.topRight();
    case Corner::bl:
        return rect.bottomLeft();
    case Corner::br:
        return rect.bottomRight();
    }
    return rect.topLeft();
}

} // namespace CropGeometry
