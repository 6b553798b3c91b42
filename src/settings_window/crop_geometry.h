#pragma once

#include <QRectF>
#include <QSizeF>

// The geometry of the photo editor's crop selection, in unit coordinates of the fitted picture
// (fractions of its width and height, origin top-left, y downwards).
namespace CropGeometry {

// The crop handles, in their drawing order.
enum class Corner { tl, tr, bl, br };
inline constexpr Corner kCorners[] = {Corner::tl, Corner::tr, Corner::bl, Corner::br};

// The smallest selection a corner drag leaves, in each direction.
inline constexpr double kMinSize = 0.12;

// The picture of size `picture` fitted without distortion into `area`, centred; the whole
// area when the picture has no size.
QRectF fitRect(QSizeF area, QSizeF picture);

// `start` moved by (dx, dy), kept inside the unit square at its size.
QRectF moved(const QRectF& start, double dx, double dy);

// `start` with the edges of `corner` moved by (dx, dy), kept inside the unit square and at
// least kMinSize in each direction.
QRectF resized(const QRectF& start, Corner corner, double dx, double dy);

// A unit rectangle in the coordinates of `fit`.
QRectF toView(const QRectF& unit, const QRectF& fit);

QPointF cornerPoint(const QRectF& rect, Corner corner);

} // namespace CropGeometry
