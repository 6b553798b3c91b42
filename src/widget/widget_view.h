#pragma once

#include "widget/animated_value.h"
#include "widget/cat_figure.h"
#include "widget/outlined_text.h"
#include "widget/widget_geometry.h"
#include "widget/widget_grips.h"
#include "widget/widget_painter.h"

#include <QImage>
#include <QPointF>
#include <QWidget>

#include <optional>

class ClockEngine;
class CustomCat;
class LayoutStore;
class Settings;
class SkinStore;
class TimerEngine;

// The whole widget: the cat or the user's photo, the time in outlined text, the start/pause
// or alert-off button, and the grips for size, rotation, text position and text size. It
// shows what the shared models hold, takes the pointer and the keys, and redraws what a change
// touches; where things sit is WidgetGeometry's, how they are drawn WidgetPainter's.
class WidgetView : public QWidget {
    Q_OBJECT

public:
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
    // Where everything sits now.
    const WidgetGeometry& geometry() const;

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
    bool isClock() const;
    bool isAlerting() const;
    const WidgetGeometry& geometryWith(const std::optional<QImage>& photo) const;
    TimerTextStyle textStyle(const WidgetGeometry& geometry) const;
    WidgetScene scene();
    // A frame of the alert's pulse alone, while everything under the text stands still: what
    // lies under the text is copied, not drawn.
    bool isPulseFrame(const QRegion& region) const;

    void refreshState();
    void refreshVisibility();
    void refreshText();
    void layoutChildren();
    void pressControl();

    TimerEngine& m_engine;
    ClockEngine& m_clock;
    SkinStore& m_skins;
    LayoutStore& m_layout;
    Settings& m_settings;
    CustomCat& m_library;
    CatFigure m_figure;
    mutable WidgetGeometry m_geometry;
    WidgetPainter m_painter;

    bool m_hovering = false;
    bool m_revealed = false;
    std::optional<QPointF> m_pressPosition;

    AnimatedValue m_countOpacity{1.0};
    AnimatedValue m_controlsOpacity{0.0};
    AnimatedValue m_pulse{1.0};
    AnimatedValue m_rotation{0.0};
    AnimatedValue m_photoScale{1.0};
    bool m_wasAlerting = false;
    bool m_screenShown = true;
    QRect m_pulseRect;        // the area the pulse's last frame asked to repaint
    QString m_announcedState; // what the accessible name said of the state when last announced
    QRectF m_paintedTextRect;
    QString m_paintedText;

    WidgetGrips m_grips{*this, m_layout, m_settings};
};
