#pragma once

#include "settings/enums.h"

#include <QFont>
#include <QStringList>

// The font a style stands for, at a point size. The four system designs take the weight; the
// four named faces keep the weight built into their face.
QFont timerFont(TimerFontStyle style, qreal pointSize, QFont::Weight weight);

// The families asked for, most wanted first; fontconfig takes the first one installed.
QStringList timerFontFamilies(TimerFontStyle style);
