#pragma once

#include "cats/cat_skin.h"
#include "timing/timer_state.h"
#include "widget/animated_value.h"

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QTimer>

#include <functional>
#include <optional>

class BundledCat;
class CustomCat;
class QPainter;
class Settings;

// The cat for one skin and one timer state at a scale: the user's photo, a built-in picture,
// or the drawn symbol cat with its calico patches and alarm clock. Not running: slightly
// desaturated (pictures) or shrunk (symbol); done: a little larger; paused and done carry a
// badge. State changes animate; onChanged asks for a redraw of the figure's box.
class CatFigure : public QObject {
    Q_OBJECT

public:
    // The side of the pictures' square, and the symbol form's height, in points at scale 1.
    static constexpr double kPictureSide = 96.0;
    static constexpr double kSymbolHeight = 70.0;

    CatFigure(BundledCat& catalogue, CustomCat& library, Settings& settings,
              QObject* parent = nullptr);

    void setSkin(const CatSkin& skin);
    void setState(TimerState state);
    const CatSkin& skin() const { return m_skin; }
    TimerState state() const { return m_state; }

    // Draws the figure at scale `scale`, centred on `center` (points).
    void paint(QPainter& painter, QPointF center, double scale);
    // The area the figure may draw into around its centre, for partial redraws.
    static QRectF bounds(QPointF center, double scale);

    // Settles the state animations at their targets.
    void finishAnimations();

    // The photo symbol with a line of text under it, in white, centred.
    static void paintPhotoPlaceholder(QPainter& painter, QPointF center, double scale,
                                      const QString& text, double opacity);

    // Whether the alarm's waves are cycling (symbol form, running or done, not held).
    bool isCycling() const { return m_cycle.isActive(); }
    // Holds the alarm's waves still while nobody can see them (the screen is locked).
    void setHeld(bool held);
    // Whether the figure draws the same pixels from one moment to the next.
    bool isStill() const;

    std::function<void()> onChanged;
    // The alarm's colour cycle asks for a redraw of the alarm's box alone.
    std::function<void()> onAlarmChanged;

    // The box the symbol form's alarm clock and its waves are drawn in, at rest.
    static QRectF alarmBounds(QPointF center, double scale);

private:
    // A picture of `natural` size fitted into the figure's square. `load` gives it at the pixel
    // size asked for (or larger); it is asked only when the picture or that size changes.
    bool paintPicture(QPainter& painter, QPointF center, double s, QSize natural,
                      const QString& key, const std::function<std::optional<QImage>(QSize)>& load);

    void paintSymbol(QPainter& painter, QPointF center, double s);
    void paintBadge(QPainter& painter, QPointF center, double s, double circleOpacity);
    void updateCycling();
    const QImage& catLayer(double s, qreal ratio);

    BundledCat& m_catalogue;
    CustomCat& m_library;
    Settings& m_settings;
    CatSkin m_skin = CatSkin::fallback();
    TimerState m_state = TimerState::idle;

    AnimatedValue m_saturation{0.92};  // pictures: 1 running, 0.92 otherwise
    AnimatedValue m_pictureScale{1.0}; // pictures: 1.06 done
    AnimatedValue m_groupScale{0.98};  // symbol: 1 running, 0.98 otherwise
    AnimatedValue m_badge{0.0};        // symbol badge: scale and opacity of its entrance
    AnimatedValue m_bounce{1.0};       // progress of the latest bounce, 1 at rest
    QTimer m_cycle;                    // steps the alarm's variable colour
    int m_cyclePhase = 0;
    bool m_held = false;
    bool m_badgePaused = false; // the badge's look, kept while it leaves

    // The scaled picture and its desaturated twin; blending them is exact for saturation.
    struct PictureCache {
        QString key;
        QSize pixels;
        QImage colour;
        QImage muted;
    } m_picture;
    // The symbol cat with its patches and shadow.
    struct LayerCache {
        CatSkin skin;
        double scale = 0;
        qreal ratio = 0;
        QImage image;
    } m_catLayer;
};
