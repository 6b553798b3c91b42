#pragma once

#include <QIcon>
#include <QImage>

// The tray icon: the cat symbol in white with a thin dark outline, so that it reads on light
// and dark panels alike.
namespace TrayIconImage {

// One rendering, side × side device pixels.
QImage render(int side);

// An icon with renderings for the usual tray sizes.
QIcon icon();

} // namespace TrayIconImage
