#pragma once

#include "settings/enums.h"
#include "timing/timer_state.h"

#include <QString>

// The texts of the tray menu that depend on the timer and the settings.
namespace StatusMenuText {

// "■ 대기 · 집중 · 25분", "▶︎ 24:59 · 집중 · 25분", "❚❚ 12:30 · …", "🔔
// 끝났어요!".
QString stateLine(TimerState state, const QString& displayText, const QString& subtitle);

// The title of the start/pause/resume item.
QString toggleTitle(TimerState state);

// The title of the display-mode item.
QString displayModeTitle(DisplayMode mode);

// The title of the show/hide item.
QString widgetToggleTitle(bool isWidgetVisible);

} // namespace StatusMenuText
