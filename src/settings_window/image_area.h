#pragma once

#include "settings_window/crop_geometry.h"

#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

// The photo editor's picture area: the working picture fitted on a checkerboard, the zoom
// preview, the crop overlay with its move and corner gestures, the brush with its circle and
// the stroke being drawn, and the progress overlay.
class ImageArea : public QWidget {
    Q_OBJECT
public:
    // Gestures start once the pointer has moved this far from where it was pressed.
    static constexpr double kMinimumDragDistance = 10;
    static constexpr double kHandleDiameter = 14;

    explicit ImageArea(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    void setZoom(double zoom);
    void setCropping(bool cropping);
    void setCrop(const QRectF& crop);
    void setProcessing(bool processing);
    // Brushing: a press and drag paints a stroke `diameter` points wide, shown in the erase or
    // the restore colour until it is released; a circle follows the pointer.
    void setBrushing(bool brushing);
    void setBrush(double diameter, bool erasing);

    QRectF crop() const { return m_crop; }
    QRectF fitRect() const;
    // Where a corner's handle sits, in this widget's coordinates.
    QPointF handleCentre(CropGeometry::Corner corner) const;

    // A point of the area in the picture's pixels, and a length in points as pixels.
    QPointF toPicture(QPointF point) const;
    double pixelsPerPoint() const;

    // Called with every new selection a gesture makes.
    std::function<void(const QRectF&)> onCropChanged;
    // A brush stroke, in the picture's pixels: pressed (with the brush's radius), moved, released.
    std::function<void(QPointF, double)> onStrokePressed;
    std::function<void(QPointF)> onStrokeMoved;
    std::function<void()> onStrokeReleased;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Gesture { none, move, corner };

    const QPixmap& fittedPixmap(QSizeF size);
    void paintCheckerboard(QPainter& painter, const QRectF& fit) const;
    void paintCropOverlay(QPainter& painter, const QRectF& fit) const;
    void paintProgress(QPainter& painter) const;
    void paintBrush(QPainter& painter) const;

    QImage m_picture;
    double m_zoom = 1.0;
    bool m_cropping = false;
    bool m_processing = false;
    QRectF m_crop{0, 0, 1, 1};
    bool m_brushing = false;
    double m_brushDiameter = 24;
    bool m_erasing = true;
    std::optional<QPointF> m_hover;
    QPainterPath m_stroke;
    bool m_stroking = false;

    // The drag in progress: what it moves, where it began, the selection then.
    Gesture m_gesture = Gesture::none;
    CropGeometry::Corner m_corner = CropGeometry::Corner::tl;
    QPointF m_pressPoint;
    bool m_dragStarted = false;
    std::optional<QRectF> m_dragStartCrop;

    // Turns the busy indicator while processing.
    QTimer m_spinner;
    int m_spinnerStep = 0;

    // The picture scaled once to the fitted size, so drags repaint cheaply.
    QPixmap m_fitted;
    qint64 m_fittedKey = 0;
    QSize m_fittedSize;
};
