#pragma once

#include <QColor>
#include <QImage>

// Soft drop shadows for drawn layers.
namespace SoftShadow {

// Blurs the alpha channel of a premultiplied image in place (three box passes, close to a
// Gaussian of the given radius in pixels). Colour channels are left as they are.
void blurAlpha(QImage& image, int radius);

// The layer's shadow alone: its coverage, offset, blurred and tinted. Offsets and blur are in
// points; the result has the layer's size and device pixel ratio.
QImage shadowOf(const QImage& layer, double blur, QPointF offset, const QColor& color);

// The layer over its own shadow.
QImage withShadow(const QImage& layer, double blur, QPointF offset, const QColor& color);

} // namespace SoftShadow
