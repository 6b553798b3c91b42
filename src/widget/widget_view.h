#pragma once

#include "widget/animated_value.h"
#include "widget/cat_figure.h"
#include "widget/outlined_text.h"

#include <QImage>
#include <QPointF>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>

class ClockEngine;
class CustomCat;
class DragCatcher;
class LayoutStore;
class ResizeHandle;
class RotateCatcher;
class Settings;
class SkinStore;
class TimerEngine;

// A transparent area that reports clicks; the view paints what it stands for.
class HitArea : public QWidget {
    Q_OBJECT

public:
    explicit HitArea(QWidget* parent = nullptr);
    std::function<void()> onClicked;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The whole widget: the cat or the user's photo, the time in outlined text, the start/pause
// or alert-off button, and the grips for size, rotation, text position and text size. It
// shows what the shared models hold and redraws what a change touches.
class WidgetView : public QWidget {
    Q_OBJECT

public:
    static constexpr double kWidth = 180.0;
    static constexpr double kHeight = 190.0;
    // The built-in cat figure is drawn at this multiple of its own size.
    static constexpr double kFigureScale = 1.6;
    // The least room between the drawn time text (outline and shadow included) and the sides.
    static constexpr double kTextSideMargin = 3.0;

    WidgetView(TimerEngine& engine, ClockEngine& clock, SkinStore& skins, LayoutStore& layout,
               Settings& settings, CustomCat& library, QWidget* parent = nullptr);
    ~WidgetView() override;

    // What the view derives from the models (exposed for tests).
    QString displayText() const;
    // What the widget shows, in words, for assistive tools.
    QString accessibleSummary() const;
    QColor timeColor(const QColor& base) const;
    bool showsCount() const;
    bool showsControls() const;
    std::optional<QImage> customImage() const;
    // The photo's rectangle, or the whole widget, in unscaled points.
    QRectF contentRect() const;
    // Where the time text's centre goes, in unscaled points.
    QPointF clampedTimerCenter(const QRectF& rect) const;
    // The factor that keeps the rotated cat inside the widget, for a content size in points.
    double catFitScale(QSizeF contentSize) const;

    bool isHovering() const { return m_hovering; }
    bool isRevealed() const { return m_revealed; }
    CatFigure& figure() { return m_figure; }

    // Settles every animation at its target, as a still picture shows it.
    void finishAnimations();
    // While the screen is locked or blanked nothing moves: no frame is drawn for the alert's
    // pulse or the alarm's waves until it shows again.
    void setScreenShown(bool shown);
    bool isPulsing() const { return m_pulse.isAnimating(); }

    // The alert's pulse: levels each way of its half-second fade (see SteppedOscillation).
    static constexpr int kPulseSteps = 6;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double s() const;
    bool isClock() const;
    TimerTextStyle textStyle() const;
    double fontSize() const;
    QRectF textRect() const; // the text itself, in widget coordinates
    QSizeF textSize() const;
    void paintCat(QPainter& painter);
    // The window's ground and the cat, as painted under the time text.
    void paintBackdrop(QPainter& painter);
    bool paintsPulseFrameFromBackdrop(QPainter& painter, const QRegion& region);
    void paintText(QPainter& painter);
    const QImage& photoLayer(const QImage& photo, QSizeF size, qreal ratio);
    // Where the cat of the given content size is drawn: the rotation and the fit.
    QTransform catTransform(QSizeF content) const;
    // Draws the controls that reach into `dirty` (the area being painted).
    void paintControls(QPainter& painter, const QRectF& dirty);
    void paintGrip(QPainter& painter, const QRectF& area, const QString& symbol, double opacity);
    // A layer drawn once per look, size and pixel ratio by `draw` (in points, from the top
    // left) and kept for the frames after.
    const QImage& cachedLayer(const QString& key, QSizeF size, qreal ratio,
                              const std::function<void(QPainter&)>& draw);
    // The red alert-off button with its symbol and label.
    const QImage& alertButtonLayer(QSizeF size, qreal ratio);
    // A grip's dark disc with its white symbol, drawn once per look and size.
    void paintDisc(QPainter& painter, QPointF centre, double diameter, const QString& symbol,
                   double iconSide, int darkness, double opacity);
    QRectF controlRect() const;
    QRectF resizeArea() const;
    QRectF rotateArea() const;
    QRectF sizeHandleRect() const;

    void refreshState();
    void refreshVisibility();
    void refreshText();
    QRect textUpdateRect() const;
    void layoutChildren();
    void pressControl();

    TimerEngine& m_engine;
    ClockEngine& m_clock;
    SkinStore& m_skins;
    LayoutStore& m_layout;
    Settings& m_settings;
    CustomCat& m_library;
    CatFigure m_figure;

    bool m_hovering = false;
    bool m_revealed = false;
    std::optional<QPointF> m_dragStartTimerPos;
    std::optional<double> m_dragStartFont;
    std::optional<double> m_dragStartRotation;
    std::optional<QPointF> m_pressPosition;

    AnimatedValue m_countOpacity{1.0};
    AnimatedValue m_controlsOpacity{0.0};
    AnimatedValue m_pulse{1.0};
    AnimatedValue m_rotation{0.0};
    AnimatedValue m_photoScale{1.0};
    bool m_wasAlerting = false;
    bool m_screenShown = true;
    // What lies under the pulsing text, drawn once and copied for every frame of the pulse
    // while nothing else moves (the cat is not drawn again twelve times a second).
    struct PulseBackdrop {
        QRect rect;
        qreal ratio = 0;
        QString key;
        QImage image;
    } m_backdrop;
    QRect m_pulseRect;        // the area the pulse's last frame asked to repaint
    QRect m_pulseArea;        // where the time text's image was last drawn
    QString m_announcedState; // what the accessible name said of the state when last announced
    struct PhotoLayer {
        qint64 key = 0;
        QImage image;
    } m_photoLayer;
    QRectF m_paintedTextRect;
    QString m_paintedText;
    // The last text measured: each new text is asked for by the paint, the update area, the
    // size handle and the drag area.
    struct TextMeasure {
        QString text;
        double chosen = 0; // the size the user chose, times the scale
        TimerFontStyle font = TimerFontStyle::rounded;
        double size = 0; // the size drawn: the chosen one, or smaller where it would not fit
        QSizeF measured;
    };
    mutable TextMeasure m_textMeasure;
    const TextMeasure& measuredText() const;
    std::map<QString, QImage> m_layers; // see cachedLayer
    struct ControlLayer {
        QString symbol;
        QSizeF size;
        qreal ratio = 0;
        QImage image;
    } m_controlLayer;

    HitArea* m_control;
    DragCatcher* m_textDrag;
    DragCatcher* m_sizeHandle;
    RotateCatcher* m_rotate;
    ResizeHandle* m_resize;
};
