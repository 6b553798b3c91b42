#pragma once

#include <QByteArray>

class QWindow;

// Window-manager hints Qt has no API for, set through xcb. Each call does nothing when the
// program does not run on X11 (or XWayland).
namespace X11WindowHints {

// Marks a window that is not mapped yet as present on every workspace (sticky, desktop
// 0xFFFFFFFF) and skipped by taskbars and pagers, gives it a WM_WINDOW_ROLE, and makes the X
// server clear areas it gains when it grows to transparent. The window
// manager drops these states when a window is withdrawn, so call this before every show.
void prepareFloatingWindow(QWindow* window, const QByteArray& role);

// The same hints for a window the window manager manages already, as EWMH asks: requests to
// the root window for the states and the workspace, and the role set again. Qt replaces the
// X window inside show() after the stay-on-top or stay-on-bottom flag changed, so the window
// that gets mapped may not be the one prepared; this puts the hints on whatever is mapped.
void announceFloatingWindow(QWindow* window, const QByteArray& role);

// Tells the window manager, before the window is mapped, that the window may be moved and closed
// and nothing else: no resizing, no maximising, no minimising (Qt always offers resizing in the
// Motif hints it writes). Call after the native window exists and before it is shown.
void allowOnlyMoveAndClose(QWindow* window);

} // namespace X11WindowHints
