#pragma once

#include <QIcon>
#include <QString>

class QApplication;

// Who the program is to the desktop: its application id (the desktop entry's, the icon's and the
// autostart entry's name) and its icon.
namespace AppIdentity {

QString applicationId();

// The largest window icon handed to the window manager, in pixels.
inline constexpr int kLargestWindowIcon = 128;

// The program's icon in every size (for drawing it large, as the about window does); null
// before install().
QIcon icon();

// Tells Qt the desktop entry's name and gives every window the program's icon: from the icon
// theme of an installed copy, or from the icons built beside the executable.
void install(QApplication& application);

} // namespace AppIdentity
