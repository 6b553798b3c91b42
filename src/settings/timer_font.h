#pragma once

#include "settings/enums.h"

#include <QFont>
#include <QStringList>

class QPaintDevice;

// The font a style stands for, `pixelSize` logical pixels tall on `device` whatever the
// device's resolution. The four system designs take the weight (or the heaviest installed one
// below it); the four named faces keep the weight built into their face.
QFont timerFont(TimerFontStyle style, qreal pixelSize, QFont::Weight weight,
                const QPaintDevice& device);

// Sets a fractional size in logical pixels. Qt turns point sizes into pixels at the resolution
// of the device a font is used on (QT_FONT_DPI, the X server's dpi), and QFont::setPixelSize
// takes whole pixels only, so the point size is chosen for that device's resolution.
void setLogicalPixelSize(QFont& font, qreal pixelSize, const QPaintDevice& device);

// The families asked for, most wanted first; fontconfig takes the first one installed. The last
// is a generic family (any sans serif, serif or monospace face), the fallback.
QStringList timerFontFamilies(TimerFontStyle style);

// The first of the style's own faces that is installed; empty when none is, and text in that
// style is drawn in whatever face the generic family gives.
QString installedTimerFamily(TimerFontStyle style);
