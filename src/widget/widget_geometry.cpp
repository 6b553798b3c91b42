#include "widget/widget_geometry.h"

#include "widget/cat_figure.h"
#include "widget/outlined_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

QRectF centred(QPointF centre, double side) {
    return QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side);
}

} // namespace

QRectF WidgetGeometry::contentRect() const {
    if (m_input.photoSize && m_input.photoSize->width() > 0 && m_input.photoSize->height() > 0) {
        const QSizeF size = *m_input.photoSize;
        const double k = std::min(kWidth / size.width(), kHeight / size.height());
        const QSizeF drawn = size * k;
        return QRectF((kWidth - drawn.width()) / 2, (kHeight - drawn.height()) / 2, drawn.width(),
                      drawn.height());
    }
    return QRectF(0, 0, kWidth, kHeight);
}

QPointF WidgetGeometry::clampedTimerCenter(const QRectF& r) const {
    const double f = m_input.timerFontSize;
    const double m = double(m_input.text.size());
    const double a = f * m * 0.31;
    const double b = f * 0.62;
    auto clampOrMid = [](double value, double low, double high, double mid) {
        return low > high ? mid : std::clamp(value, low, high);
    };
    const QPointF pos = m_input.timerPos;
    return QPointF(clampOrMid(pos.x() * kWidth, r.left() + a, r.right() - a, r.center().x()),
                   clampOrMid(pos.y() * kHeight, r.top() + b, r.bottom() - b, r.center().y()));
}

double WidgetGeometry::catFitScale(QSizeF content) const {
    const double theta = m_input.rotation * std::numbers::pi / 180.0;
    const double c = std::abs(std::cos(theta));
    const double n = std::abs(std::sin(theta));
    const double w = c * content.width() + n * content.height();
    const double h = n * content.width() + c * content.height();
    if (w <= 0 || h <= 0)
        return 1.0;
    return std::min({kWidth * scale() / w, kHeight * scale() / h, 1.0});
}

QSizeF WidgetGeometry::catContentSize(bool custom) const {
    if (m_input.photoSize)
        return contentRect().size() * scale();
    if (!custom) {
        const double side = CatFigure::kPictureSide * kFigureScale * scale();
        return QSizeF(side, side);
    }
    return bounds().size();
}

QTransform WidgetGeometry::catTransform(QSizeF content, double degrees) const {
    const QPointF middle = centre();
    const double fit = catFitScale(content);
    QTransform transform;
    transform.translate(middle.x(), middle.y());
    transform.rotate(degrees);
    transform.scale(fit, fit);
    transform.translate(-middle.x(), -middle.y());
    return transform;
}

QRect WidgetGeometry::alarmRect(double degrees) const {
    const QRectF box = CatFigure::alarmBounds(centre(), scale() * kFigureScale);
    return catTransform(catContentSize(false), degrees)
        .mapRect(box)
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1);
}

QPointF WidgetGeometry::centre() const {
    return bounds().center();
}

QRectF WidgetGeometry::bounds() const {
    return QRectF(0, 0, kWidth * scale(), kHeight * scale());
}

const WidgetGeometry::TextMeasure& WidgetGeometry::measuredText() const {
    const double chosen = m_input.timerFontSize * scale();
    if (m_input.text != m_measure.text || chosen != m_measure.chosen ||
        m_input.font != m_measure.font) {
        // The chosen size, made smaller where the text with its outline and shadow would run
        // past the window's sides (the 12-hour clock with seconds at a large size).
        double size = chosen;
        QSizeF measured = OutlinedText::measure(m_input.text, size, m_input.font);
        const double room = kWidth * scale() - 2 * kTextSideMargin;
        const double drawn = measured.width() + 2 * (0.09 * size + kTextSideMargin);
        if (drawn > room && measured.width() > 0) {
            size *= room / drawn;
            measured = OutlinedText::measure(m_input.text, size, m_input.font);
        }
        m_measure = {m_input.text, chosen, m_input.font, size, measured};
    }
    return m_measure;
}

double WidgetGeometry::fontSize() const {
    return measuredText().size;
}

double WidgetGeometry::outlineWidth() const {
    return std::max(0.09 * fontSize(), 2.0);
}

QSizeF WidgetGeometry::textSize() const {
    return measuredText().measured;
}

QRectF WidgetGeometry::textRect() const {
    const QPointF at = clampedTimerCenter(contentRect()) * scale();
    const QSizeF size = textSize();
    return QRectF(at.x() - size.width() / 2, at.y() - size.height() / 2, size.width(),
                  size.height());
}

QRect WidgetGeometry::textUpdateRect(const QRectF& paintedTextRect) const {
    const double reach = outlineWidth() + 8.0;
    const double sideways = reach + OutlinedText::kOverhang * fontSize();
    return paintedTextRect.united(textRect())
        .adjusted(-sideways, -reach, sideways, reach)
        .toAlignedRect();
}

QRectF WidgetGeometry::controlRect() const {
    const double s = scale();
    const double bottom = kHeight * s - 6 * s;
    if (!m_input.clock && m_input.alerting) {
        const QSizeF size(64 * s, 26 * s);
        return QRectF(kWidth * s / 2 - size.width() / 2, bottom - size.height(), size.width(),
                      size.height());
    }
    const double side = 26 * s;
    return QRectF(kWidth * s / 2 - side / 2, bottom - side, side, side);
}

QRectF WidgetGeometry::resizeArea() const {
    const double s = scale();
    return QRectF(kWidth * s - 34 * s, kHeight * s - 34 * s, 30 * s, 30 * s);
}

QRectF WidgetGeometry::rotateArea() const {
    const double s = scale();
    return QRectF(4 * s, 4 * s, 30 * s, 30 * s);
}

QRectF WidgetGeometry::sizeHandleRect() const {
    // Where that would put part of it outside the window it is pushed back in, and where a
    // grip (stacked above it) would cover it, it moves beside the grip, so it can be grabbed at
    // every text size and position.
    QRectF handle = centred(textRect().bottomRight(), 18 * scale());
    const QRectF whole = bounds();
    handle.translate(std::min(0.0, whole.right() - handle.right()) +
                         std::max(0.0, whole.left() - handle.left()),
                     std::min(0.0, whole.bottom() - handle.bottom()) +
                         std::max(0.0, whole.top() - handle.top()));
    if (handle.intersects(resizeArea()))
        handle.moveRight(resizeArea().left());
    if (handle.intersects(rotateArea()))
        handle.moveLeft(rotateArea().right());
    // Nor over the button ("끄기" during the alert is wide): beside it where there is room,
    // else above it.
    const QRectF button = controlRect();
    if (!m_input.clock && handle.intersects(button)) {
        QRectF beside = handle;
        beside.moveLeft(button.right() + 2 * scale());
        if (whole.contains(beside) && !beside.intersects(resizeArea()))
            handle = beside;
        else
            handle.moveBottom(button.top() - 2 * scale());
    }
    return handle;
}
