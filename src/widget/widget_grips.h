#pragma once

#include "timing/timer_state.h"

#include <QPointF>
#include <QString>

#include <functional>
#include <optional>

class DragCatcher;
class HitArea;
class LayoutStore;
class QWidget;
class ResizeHandle;
class RotateCatcher;
class Settings;
class WidgetGeometry;

// The widget's input areas, children of the view, placed where the geometry draws what they
// stand for: the start/pause button, the text's drag area and size handle, and the rotate and
// resize grips. Dragging them moves the text, sizes it, turns the cat and scales the widget.
class WidgetGrips {
public:
    WidgetGrips(QWidget& view, LayoutStore& layout, Settings& settings);

    // Called when the button is clicked.
    std::function<void()> onButton;

    void place(const WidgetGeometry& geometry);
    // The grips show with the controls; the button also whenever it alone is drawn.
    void show(bool controls, bool button, bool buttonEnabled);
    // The button's name says what pressing it does now, for assistive tools.
    void nameButton(bool alerting, TimerState state);
    // A drag of the rotate grip is under way (the cat follows it without easing).
    bool isRotating() const { return m_dragStartRotation.has_value(); }

private:
    LayoutStore& m_layout;
    Settings& m_settings;
    std::optional<QPointF> m_dragStartTimerPos;
    std::optional<double> m_dragStartFont;
    std::optional<double> m_dragStartRotation;
    HitArea* m_button;
    DragCatcher* m_textDrag;
    DragCatcher* m_sizeHandle;
    RotateCatcher* m_rotate;
    ResizeHandle* m_resize;
};
