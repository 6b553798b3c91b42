#pragma once

#include "app/panel_geometry.h"

#include <QRect>
#include <QRectF>

// The bridge between Qt's screen coordinates (origin at the primary screen's top-left, y down,
// whole pixels) and the panel's (origin at the main screen's bottom-left, y up).
namespace DesktopScreens {

// Conversions relative to the main screen's full frame in Qt coordinates.
QRectF toPanelCoordinates(const QRect& qtRect, const QRect& mainFrame);
QRect toQtCoordinates(const QRectF& panelRect, const QRect& mainFrame);

// The main screen's frame in Qt coordinates (empty without screens).
QRect mainFrame();

// The connected screens, in Qt's order, converted to panel coordinates.
PanelGeometry::Screens current();

} // namespace DesktopScreens
