#pragma once

#include <QImage>
#include <QPointF>
#include <QRectF>

class QPainter;

// Draws a layer made at the size it is drawn at (a cached text, picture or control).
namespace LayerDrawing {

// Where the painter maps `target` onto the layer's own pixels, only moved, the layer is copied
// without filtering: the smooth path filters every pixel even then, at several times the cost,
// for the same picture. Grown, shrunk or turned, it is filtered as the painter's hints say.
void draw(QPainter& painter, const QRectF& target, const QImage& layer);

// The same with the layer's top-left at `topLeft`, at the layer's device pixel ratio.
void draw(QPainter& painter, QPointF topLeft, const QImage& layer);

} // namespace LayerDrawing
