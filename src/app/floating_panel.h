#pragma once

#include "settings/enums.h"

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>

// The widget's window: frameless, transparent, never activating, on every workspace and out
// of taskbars, above other windows or just above the desktop by its display mode. Dragging its
// background moves it, always kept inside the visible area of a screen; every mouse release
// reports where it is. Positions are panel coordinates (origin bottom-left, y up).
class FloatingPanel : public QWidget {
    Q_OBJECT

public:
    explicit FloatingPanel(DisplayMode displayMode);

    // Restacks the window for the mode, also while it is shown.
    void setDisplayMode(DisplayMode mode);
    DisplayMode displayMode() const { return m_displayMode; }

    // The window's frame in panel coordinates.
    QRectF frame() const;
    QPointF frameOrigin() const { return frame().topLeft(); }

    // Moves the window, clamped to the visible area of the screen it overlaps most.
    void setFrameOrigin(QPointF origin);
    // The saved origin if it is still mostly on a screen, else the main screen's top-right.
    void restoreFrame(const std::optional<QPointF>& savedOrigin);
    // Content size 180·s × 190·s, the top edge kept, then clamped.
    void applyScale(double scale);
    // Puts the window back on a screen after the screen set changed under it.
    void keepReachable();

    // Shows the window without activating the program; hides it.
    void orderFrontRegardless();
    void orderOut();

    // The view the window hosts; the panel takes ownership.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }

    // Called with the frame origin after every mouse release inside the window.
    std::function<void(QPointF)> onMoved;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setFrame(const QRectF& frame);
    Qt::WindowFlags flagsFor(DisplayMode mode) const;

    DisplayMode m_displayMode;
    QPointer<QWidget> m_content;
    // The pointer's offset from the window's top-left while a drag is in progress.
    std::optional<QPoint> m_dragOffset;
    // Set by a show, cleared once the mapped window has been given its hints.
    bool m_announceWhenMapped = false;
};
