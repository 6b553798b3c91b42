#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

#include <optional>

// Placement rules of the widget window, as pure functions over a list of screens. Coordinates
// are points with the origin at the bottom-left of the main screen and y growing upwards, so a
// rectangle's origin is its bottom-left corner and maxY (top()+height()) is its top edge.
namespace PanelGeometry {

// The size the placement rules assume for a panel whatever its current size.
inline constexpr double kNominalSide = 180.0;
inline constexpr double kContentWidth = 180.0;
inline constexpr double kContentHeight = 190.0;
// Distance from the top-right corner of the visible frame on first launch.
inline constexpr double kDefaultMargin = 40.0;

struct Screen {
    QRectF frame;   // the whole screen
    QRectF visible; // without panels, docks and menu bars
};

struct Screens {
    QList<Screen> all;          // in the platform's order
    std::optional<Screen> main; // the primary screen
};

// The rectangle, same size, moved inside the visible frame of the screen it overlaps most
// (the earlier screen on a tie, the first if it touches none). Too wide: left edges aligned;
// too tall: top edges aligned, the rest hangs below. No screens: unchanged.
QRectF clampedToScreen(const QRectF& rect, const Screens& screens);

// Whether a nominal 180 × 180 square at the origin is at least half on some screen.
bool isVisibleOnAnyScreen(QPointF origin, const Screens& screens);

// Where a panel of the given size goes: the saved origin if it is still mostly on a screen
// (pushed inside), else 40 points in from the top-right of the main screen's visible frame.
// Without any screen the current frame stays as it is.
QRectF restoredFrame(const std::optional<QPointF>& savedOrigin, const QRectF& current,
                     const Screens& screens);

// The widget's size at a scale: 180·s × 190·s.
QSizeF contentSize(double scale);

// The frame for a widget scale: 180·s × 190·s, keeping the top edge, then clamped.
QRectF resizedFrame(const QRectF& current, double scale, const Screens& screens);

} // namespace PanelGeometry
