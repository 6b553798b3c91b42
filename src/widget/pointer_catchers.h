#pragma once

#include <QPointF>
#include <QWidget>

#include <functional>

class LayoutStore;

// Small input areas inside the widget that take the pointer away from the window: a press on
// them never drags the window. They track the pointer in screen coordinates with y growing
// upwards, so their values stay right while the window moves or resizes under the pointer.
// They draw nothing.

// Reports the pointer's displacement since the press (x right, y up).
class DragCatcher : public QWidget {
    Q_OBJECT

public:
    explicit DragCatcher(QWidget* parent = nullptr);

    std::function<void(QSizeF)> onChanged;
    std::function<void()> onEnded;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointF m_start;
};

// Reports how far the pointer has turned around the window's centre since the press, in
// degrees, counter-clockwise positive, accumulated past ±360.
class RotateCatcher : public QWidget {
    Q_OBJECT

public:
    explicit RotateCatcher(QWidget* parent = nullptr);

    std::function<void(double)> onChanged;
    std::function<void()> onEnded;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::optional<double> angleToPointer(QPointF global) const;

    double m_lastAngle = 0.0;
    double m_accumulated = 0.0;
};

// Changes the widget's scale: 220 points of movement right plus down add 1.0.
class ResizeHandle : public QWidget {
    Q_OBJECT

public:
    explicit ResizeHandle(LayoutStore& layout, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    LayoutStore& m_layout;
    double m_startScale = 1.0;
    QPointF m_startMouse;
};

// Screen position with y growing upwards (the sign flip is all the displacements need).
inline QPointF upwardPosition(QPointF global) {
    return QPointF(global.x(), -global.y());
}

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
