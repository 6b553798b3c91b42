#pragma once

#include <QColor>
#include <QImage>

// Soft drop shadows for drawn layers.
namespace SoftShadow {

// The smallest rectangle holding every pixel of a premultiplied image that is not fully
// transparent, in pixels; null when there is none.
QRect coverage(const QImage& image);

// Blurs the alpha channel of a premultiplied image in place (three box passes, close to a
// Gaussian of the given radius in pixels). Colour channels are left as they are. Returns the
// area that was blurred: alpha beyond it was clear and stays so.
QRect blurAlpha(QImage& image, int radius);

// The layer's shadow alone: its coverage, offset, blurred and tinted. Offsets and blur are in
// points; the result has the layer's size and device pixel ratio.
QImage shadowOf(const QImage& layer, double blur, QPointF offset, const QColor& color);

// The layer over its own shadow.
QImage withShadow(const QImage& layer, double blur, QPointF offset, const QColor& color);

} // namespace SoftShadow
