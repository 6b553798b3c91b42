#pragma once

#include <QByteArray>

class QWindow;

// Window-manager hints Qt has no API for, set through xcb. Each call does nothing when the
// program does not run on X11 (or XWayland).
namespace X11WindowHints {

// Marks the window, before it is mapped, as present on every workspace (sticky, desktop
// 0xFFFFFFFF) and skipped by taskbars and pagers, and gives it a WM_WINDOW_ROLE. The window
// manager drops these states when a window is withdrawn, so call this before every show.
void prepareFloatingWindow(QWindow* window, const QByteArray& role);

} // namespace X11WindowHints
