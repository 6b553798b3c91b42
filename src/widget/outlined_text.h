#pragma once

#include "settings/enums.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// The look of the time text the user chooses.
struct TimerTextStyle {
    QColor fill;
    QColor stroke;
    double lineWidth = 2.0; // how far the outline copies are displaced, in points
    TimerFontStyle font = TimerFontStyle::rounded;
    bool showOutline = true;

    friend bool operator==(const TimerTextStyle&, const TimerTextStyle&) = default;
};

// The time text: eight copies in the stroke colour displaced by the line width around one in
// the fill colour, heavy weight, digits in equal cells, and a soft shadow under the stack.
namespace OutlinedText {

struct Rendering {
    QImage image;    // the whole stack with its shadow, at the device pixel ratio
    QPointF center;  // where the text's centre lies in the image, in points
    QSizeF textSize; // the size of the text itself (outline and shadow not counted), points
};

// How far beyond its cell a glyph's ink may reach (script faces lean into their neighbours),
// in units of the font size; the text's image leaves that much room on either side.
inline constexpr double kOverhang = 0.25;

// The outline offsets in drawing order: (d,0), (−d,0), (0,d), (0,−d), then the diagonals.
QList<QPointF> outlineOffsets(double lineWidth);

// The size of the text itself, in points.
QSizeF measure(const QString& text, double size, TimerFontStyle font);

Rendering render(const QString& text, double size, const TimerTextStyle& style,
                 qreal devicePixelRatio);

// Where the drawing of `to` differs from that of `from`, in points from the top-left of the
// text itself (outline, shadow and overhang reach past it): the ink of the glyphs that changed,
// old and new, when the two are laid out alike (a countdown's next second); empty when nothing
// changed, nothing when they are laid out differently and the whole text changes.
std::optional<QRectF> changedArea(const QString& from, const QString& to, double size,
                                  const TimerTextStyle& style, qreal devicePixelRatio);

// render() behind a small cache: the same text, size, style and ratio are drawn once.
const Rendering& cached(const QString& text, double size, const TimerTextStyle& style,
                        qreal devicePixelRatio);

} // namespace OutlinedText
