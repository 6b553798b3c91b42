#pragma once

#include "settings_window/crop_geometry.h"

#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

// The photo editor's picture area: the working picture fitted on a checkerboard, the zoom
// preview, the crop overlay with its move and corner gestures, and the progress overlay.
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

    QRectF crop() const { return m_crop; }
    QRectF fitRect() const;
    // Where a corner's handle sits, in this widget's coordinates.
    QPointF handleCentre(CropGeometry::Corner corner) const;

    // Called with every new selection a gesture makes.
    std::function<void(const QRectF&)> onCropChanged;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Gesture { none, move, corner };

    const QPixmap& fittedPixmap(QSizeF size);
    void paintCheckerboard(QPainter& painter, const QRectF& fit) const;
    void paintCropOverlay(QPainter& painter, const QRectF& fit) const;
    void paintProgress(QPainter& painter) const;

    QImage m_picture;
    double m_zoom = 1.0;
    bool m_cropping = false;
    bool m_processing = false;
    QRectF m_crop{0, 0, 1, 1};

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
