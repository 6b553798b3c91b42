#include "widget/layer_drawing.h"

#include <QPainter>

#include <cmath>

namespace LayerDrawing {

void draw(QPainter& painter, const QRectF& target, const QImage& layer) {
    const QTransform device = painter.deviceTransform();
    const QRectF mapped = device.mapRect(target);
    const bool oneToOne = device.type() <= QTransform::TxScale &&
                          std::abs(mapped.width() - layer.width()) < 0.5 &&
                          std::abs(mapped.height() - layer.height()) < 0.5;
    if (!oneToOne || !painter.testRenderHint(QPainter::SmoothPixmapTransform)) {
        painter.drawImage(target, layer);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, layer);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void draw(QPainter& painter, QPointF topLeft, const QImage& layer) {
    draw(painter, QRectF(topLeft, layer.deviceIndependentSize()), layer);
}

} // namespace LayerDrawing
