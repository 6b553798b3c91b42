#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QSize>
#include <QString>

class QPainter;
class QRectF;

// The program's symbol images: monochrome vector icons embedded at build time, looked up by
// symbol name (for example "cat.fill") and drawn in one colour.
namespace SymbolIcon {

// Whether the symbol is in the table.
bool exists(const QString& name);

// The symbol rendered into a transparent image of size × devicePixelRatio device pixels,
// keeping its aspect ratio and centred, in the given colour. A null image for an unknown name.
QImage render(const QString& name, QSize size, const QColor& color, qreal devicePixelRatio = 1.0);

// render() behind a small cache of recent renderings, for views that redraw often.
QImage cachedRender(const QString& name, QSize size, const QColor& color,
                    qreal devicePixelRatio = 1.0);

// Draws the symbol into a box of the painter's coordinates, at the painter's pixel ratio.
void draw(QPainter& painter, const QString& name, const QRectF& box, const QColor& color);

// An icon that draws the symbol in the given colour at any requested size.
QIcon icon(const QString& name, const QColor& color);

} // namespace SymbolIcon
