#pragma once

#include "cats/cat_skin.h"
#include "timing/timer_state.h"
#include "widget/outlined_text.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <map>
#include <optional>

class CatFigure;
class QPainter;
class WidgetGeometry;

// What one paint of the widget shows, as the view reads it from the models.
struct WidgetScene {
    const WidgetGeometry& geometry;
    QRect bounds; // the widget's own rectangle
    CatFigure& figure;
    CatSkin skin;
    std::optional<QImage> photo; // the user's photo, decoded, when it shows
    bool photoLoading = false;
    double rotation = 0.0; // the cat's rotation as drawn now, in degrees
    double photoScale = 1.0;
    QString text;
    TimerTextStyle textStyle;
    double textOpacity = 1.0;
    bool clock = false;
    bool alerting = false;
    TimerState state = TimerState::idle;
    double controlsOpacity = 0.0;
    QFont font; // the label's face on the alert-off button
};

// Draws the widget: its ground, the cat or the photo, the time text and the controls. What
// costs much and changes seldom (the scaled photo, the button and grip discs, what lies under
// the pulsing text) is drawn once into a layer and copied after.
class WidgetPainter {
public:
    // The time text's colour: the chosen one while running (and for the clock), faded while
    // idle, yellow while paused, red once done.
    static QColor timeColor(const QColor& base, TimerState state);

    // The nearly transparent ground (so the pointer registers everywhere) and the cat.
    void paintBackdrop(QPainter& painter, const WidgetScene& scene);
    // The backdrop of `area` copied from a layer drawn once while what it shows stays the
    // same: a frame of the alert's pulse, while nothing else moves.
    void paintBackdropFromLayer(QPainter& painter, const WidgetScene& scene, QRect area);
    // Lets go of the backdrop's layer once the pulse is over.
    void dropBackdropLayer();
    void paintText(QPainter& painter, const WidgetScene& scene);
    // The controls that reach into `dirty` (the area being painted).
    void paintControls(QPainter& painter, const WidgetScene& scene, const QRectF& dirty);

private:
    void paintCat(QPainter& painter, const WidgetScene& scene);
    const QImage& photoLayer(const QImage& photo, QSizeF size, qreal ratio);
    // A layer drawn once per look, size and pixel ratio by `draw` (in points, from the top
    // left) and kept for the frames after.
    const QImage& cachedLayer(const QString& key, QSizeF size, qreal ratio,
                              const std::function<void(QPainter&)>& draw);
    const QImage& alertButtonLayer(QSizeF size, qreal ratio, double scale, const QFont& font);
    const QImage& buttonSymbolLayer(const QString& symbol, QSizeF size, qreal ratio, double scale);
    // A grip's dark disc with its white symbol.
    void paintDisc(QPainter& painter, QPointF centre, double diameter, const QString& symbol,
                   double iconSide, int darkness, double opacity);

    struct Backdrop {
        QRect rect;
        qreal ratio = 0;
        QString key;
        QImage image;
    } m_backdrop;
    struct PhotoLayer {
        qint64 key = 0;
        QImage image;
    } m_photoLayer;
    std::map<QString, QImage> m_layers; // see cachedLayer
};
