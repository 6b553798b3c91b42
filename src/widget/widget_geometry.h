#pragma once

#include "settings/enums.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <optional>

// Where each part of the widget sits, from the scale, the text with its size and position, the
// photo's shape and the cat's rotation: geometry alone, nothing drawn. Rectangles are in widget
// coordinates (points times the scale) unless their name says "unscaled".
class WidgetGeometry {
public:
    static constexpr double kWidth = 180.0;
    static constexpr double kHeight = 190.0;
    // The built-in cat figure is drawn at this multiple of its own size.
    static constexpr double kFigureScale = 1.6;
    // The least room between the drawn time text (outline and shadow included) and the sides.
    static constexpr double kTextSideMargin = 3.0;

    // What the geometry follows from.
    struct Input {
        double scale = 1.0;
        std::optional<QSizeF> photoSize =
            std::nullopt;           // the user's photo, when one shows, in points
        QPointF timerPos{0.5, 0.5}; // the text's wanted centre, fractions of the widget
        double timerFontSize = 30.0;
        QString text = {};
        TimerFontStyle font = TimerFontStyle::rounded;
        bool clock = false;
        bool alerting = false; // a countdown's alert: its "끄기" button is wide
        double rotation = 0.0; // the rotation the cat is fitted for, in degrees
    };

    // The text's measure is kept while the text, its chosen size and its face stay the same.
    void setInput(Input input) { m_input = std::move(input); }
    const Input& input() const { return m_input; }
    double scale() const { return m_input.scale; }

    // The photo's rectangle, or the whole widget, unscaled.
    QRectF contentRect() const;
    // Where the time text's centre goes within `rect`, unscaled: the wanted place, kept far
    // enough from the edges for the text, or the middle where the text is too large for that.
    QPointF clampedTimerCenter(const QRectF& rect) const;
    // The factor that keeps the rotated cat inside the widget, for a content size in points.
    double catFitScale(QSizeF content) const;
    // The size of what the cat is drawn as: the photo, the figure or the whole widget.
    QSizeF catContentSize(bool custom) const;
    // The cat turned by `degrees` and fitted, about the widget's centre.
    QTransform catTransform(QSizeF content, double degrees) const;
    // The symbol cat's alarm clock, as drawn with the cat turned by `degrees`.
    QRect alarmRect(double degrees) const;
    QPointF centre() const;
    QRectF bounds() const;

    // The size the text is drawn at: the chosen one, or smaller where it would not fit.
    double fontSize() const;
    double outlineWidth() const;
    QSizeF textSize() const;
    QRectF textRect() const; // the text itself
    // The text where it was drawn and where it goes, with its outline and shadow, and sideways
    // as far as a script face's strokes may reach past their cells.
    QRect textUpdateRect(const QRectF& paintedTextRect) const;

    QRectF controlRect() const;
    QRectF resizeArea() const;
    QRectF rotateArea() const;
    // Centred on the text's bottom-trailing corner, moved where it would be cut off or covered.
    QRectF sizeHandleRect() const;

private:
    struct TextMeasure {
        QString text = {};
        double chosen = 0; // the size the user chose, times the scale
        TimerFontStyle font = TimerFontStyle::rounded;
        double size = 0;
        QSizeF measured;
    };
    const TextMeasure& measuredText() const;

    Input m_input;
    mutable TextMeasure m_measure;
};
