#include "settings_window/image_area.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

using CropGeometry::Corner;

ImageArea::ImageArea(QWidget* parent)
    : QWidget(parent) {
    m_spinner.setInterval(80);
    connect(&m_spinner, &QTimer::timeout, this, [this] {
        m_spinnerStep = (m_spinnerStep + 1) % 12;
        update();
    });
}

void ImageArea::setPicture(const QImage& picture) {
    m_picture = picture;
    update();
}

void ImageArea::setZoom(double zoom) {
    m_zoom = zoom;
    update();
}

void ImageArea::setCropping(bool cropping) {
    if (cropping == m_cropping)
        return;
    m_cropping = cropping;
    m_gesture = Gesture::none;
    m_dragStartCrop.reset();
    update();
}

void ImageArea::setCrop(const QRectF& crop) {
    m_crop = crop;
    update();
}

void ImageArea::setProcessing(bool processing) {
    if (processing == m_processing)
        return;
    m_processing = processing;
    if (processing)
        m_spinner.start();
    else
        m_spinner.stop();
    update();
}

void ImageArea::setBrushing(bool brushing) {
    if (brushing == m_brushing)
        return;
    m_brushing = brushing;
    m_stroking = false;
    m_stroke = QPainterPath();
    setMouseTracking(brushing);
    if (brushing)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
    update();
}

void ImageArea::setBrush(double diameter, bool erasing) {
    m_brushDiameter = diameter;
    m_erasing = erasing;
    update();
}

QPointF ImageArea::toPicture(QPointF point) const {
    const QRectF fit = fitRect();
    if (m_picture.isNull() || fit.isEmpty())
        return {};
    return QPointF((point.x() - fit.x()) * m_picture.width() / fit.width(),
                   (point.y() - fit.y()) * m_picture.height() / fit.height());
}

double ImageArea::pixelsPerPoint() const {
    const QRectF fit = fitRect();
    return m_picture.isNull() || fit.isEmpty() ? 1.0 : m_picture.width() / fit.width();
}

QRectF ImageArea::fitRect() const {
    const QSizeF picture = m_picture.isNull() ? QSizeF() : QSizeF(m_picture.size());
    return CropGeometry::fitRect(QSizeF(size()), picture);
}

QPointF ImageArea::handleCentre(Corner corner) const {
    return CropGeometry::cornerPoint(CropGeometry::toView(m_crop, fitRect()), corner);
}

const QPixmap& ImageArea::fittedPixmap(QSizeF size) {
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(std::max(1, int(std::ceil(size.width() * dpr))),
                       std::max(1, int(std::ceil(size.height() * dpr))));
    if (m_fittedKey != m_picture.cacheKey() || m_fittedSize != pixels) {
        m_fitted = QPixmap::fromImage(
            m_picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        m_fitted.setDevicePixelRatio(dpr);
        m_fittedKey = m_picture.cacheKey();
        m_fittedSize = pixels;
    }
    return m_fitted;
}

void ImageArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();
    QPainterPath background;
    background.addRoundedRect(area, 8, 8);
    painter.fillPath(background, QColor(0, 0, 0, int(0.15 * 255)));

    const QRectF fit = fitRect();
    paintCheckerboard(painter, fit);

    if (!m_picture.isNull()) {
        painter.save();
        painter.setClipRect(fit);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPointF centre = fit.center();
        painter.translate(centre);
        painter.scale(m_zoom, m_zoom);
        painter.translate(-centre);
        painter.drawPixmap(fit, fittedPixmap(fit.size()), QRectF());
        painter.restore();
    }

    painter.setPen(QPen(QColor(255, 255, 255, int(0.6 * 255)), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(fit);

    if (m_cropping)
        paintCropOverlay(painter, fit);
    if (m_brushing)
        paintBrush(painter);
    if (m_processing)
        paintProgress(painter);
}

void ImageArea::paintCheckerboard(QPainter& painter, const QRectF& fit) const {
    constexpr double square = 10;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(fit);
    const QColor even(128, 128, 128, int(0.22 * 255));
    const QColor odd(128, 128, 128, int(0.1 * 255));
    int row = 0;
    for (double y = fit.top(); y < fit.bottom(); y += square, ++row) {
        int column = 0;
        for (double x = fit.left(); x < fit.right(); x += square, ++column)
            painter.fillRect(QRectF(x, y, square, square), (row + column) % 2 == 0 ? even : odd);
    }
    painter.restore();
}

void ImageArea::paintCropOverlay(QPainter& painter, const QRectF& fit) const {
    const QRectF selection = CropGeometry::toView(m_crop, fit);
    QPainterPath dimming;
    dimming.setFillRule(Qt::OddEvenFill);
    dimming.addRect(rect());
    dimming.addRect(selection);
    painter.fillPath(dimming, QColor(0, 0, 0, 128));

    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(selection);

    painter.setPen(QPen(QColor(0, 0, 0, int(0.4 * 255)), 1));
    painter.setBrush(Qt::white);
    const double r = kHandleDiameter / 2;
    for (Corner corner : CropGeometry::kCorners)
        painter.drawEllipse(CropGeometry::cornerPoint(selection, corner), r, r);
}

void ImageArea::paintProgress(QPainter& painter) const {
    painter.fillRect(rect(), QColor(0, 0, 0, int(0.35 * 255)));
    // A ring of twelve spokes, as a large busy indicator.
    const QPointF centre = QRectF(rect()).center() - QPointF(0, 14);
    painter.save();
    painter.translate(centre);
    painter.rotate(30.0 * m_spinnerStep);
    for (int i = 0; i < 12; ++i) {
        painter.setPen(QPen(QColor(255, 255, 255, 60 + i * 16), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -10), QPointF(0, -18));
        painter.rotate(30);
    }
    painter.restore();
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.1);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, centre.y() + 26, width(), 24), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("배경 분리 중…"));
}

void ImageArea::paintBrush(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_stroking) {
        // Erasing shows red over what goes, restoring green over what comes back; the picture
        // itself follows when the stroke is released.
        const QColor colour = m_erasing ? QColor(255, 59, 48, 110) : QColor(52, 199, 89, 110);
        painter.strokePath(
            m_stroke, QPen(colour, m_brushDiameter, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    if (m_hover) {
        const double r = m_brushDiameter / 2;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0, 0, 0, 140), 3));
        painter.drawEllipse(*m_hover, r, r);
        painter.setPen(QPen(Qt::white, 1.5));
        painter.drawEllipse(*m_hover, r, r);
    }
    painter.restore();
}

void ImageArea::leaveEvent(QEvent* event) {
    m_hover.reset();
    update();
    QWidget::leaveEvent(event);
}

void ImageArea::mousePressEvent(QMouseEvent* event) {
    m_gesture = Gesture::none;
    if (m_brushing && !m_processing && event->button() == Qt::LeftButton) {
        m_stroking = true;
        m_stroke = QPainterPath(event->position());
        m_stroke.lineTo(event->position());
        m_hover = event->position();
        update();
        if (onStrokePressed)
            onStrokePressed(toPicture(event->position()), m_brushDiameter / 2 * pixelsPerPoint());
        return;
    }
    if (!m_cropping || m_processing || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPointF p = event->position();
    // Handles sit above the drag surface, in reverse drawing order.
    for (int i = 3; i >= 0; --i) {
        const Corner corner = CropGeometry::kCorners[i];
        const QPointF d = p - handleCentre(corner);
        if (std::hypot(d.x(), d.y()) <= kHandleDiameter / 2) {
            m_gesture = Gesture::corner;
            m_corner = corner;
            break;
        }
    }
    if (m_gesture == Gesture::none && CropGeometry::toView(m_crop, fitRect()).contains(p))
        m_gesture = Gesture::move;
    m_pressPoint = p;
    m_dragStarted = false;
}

void ImageArea::mouseMoveEvent(QMouseEvent* event) {
    if (m_brushing) {
        m_hover = event->position();
        if (m_stroking) {
            m_stroke.lineTo(event->position());
            if (onStrokeMoved)
                onStrokeMoved(toPicture(event->position()));
        }
        update();
        return;
    }
    if (m_gesture == Gesture::none)
        return QWidget::mouseMoveEvent(event);
    const QPointF translation = event->position() - m_pressPoint;
    if (!m_dragStarted && std::hypot(translation.x(), translation.y()) < kMinimumDragDistance)
        return;
    m_dragStarted = true;
    if (!m_dragStartCrop)
        m_dragStartCrop = m_crop;
    const QRectF fit = fitRect();
    const double dx = translation.x() / fit.width();
    const double dy = translation.y() / fit.height();
    m_crop = m_gesture == Gesture::move ? CropGeometry::moved(*m_dragStartCrop, dx, dy)
                                        : CropGeometry::resized(*m_dragStartCrop, m_corner, dx, dy);
    update();
    if (onCropChanged)
        onCropChanged(m_crop);
}

void ImageArea::mouseReleaseEvent(QMouseEvent* event) {
    if (m_stroking && event->button() == Qt::LeftButton) {
        m_stroking = false;
        m_stroke = QPainterPath();
        update();
        if (onStrokeReleased)
            onStrokeReleased();
        return;
    }
    if (m_gesture == Gesture::none)
        return QWidget::mouseReleaseEvent(event);
    m_gesture = Gesture::none;
    m_dragStartCrop.reset();
}
