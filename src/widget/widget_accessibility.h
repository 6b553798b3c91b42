#pragma once

#include "timing/timer_state.h"

#include <QString>

class QWidget;

// Screen readers and other assistive tools see the widget as what it shows and its drawn
// controls as what they are: the whole widget is named by the time it shows and the timer's
// state, read when asked (the name changes with the state, not with every second); the
// start/pause and alert-off button is a button that can be pressed whether or not the pointer
// has revealed it; the grips are grips.
namespace WidgetAccessibility {

// Registers the interfaces with Qt's accessibility framework; once per process is enough.
void install();

// What the widget says of itself: "Purrtick, 남은 시간 24분 59초, 진행 중", or the clock's time.
QString countdownSummary(TimerState state, double remainingSeconds, bool alerting);
QString clockSummary(const QString& shownTime);

// Tells assistive tools that the widget's name changed (the state, not the seconds).
void announceNameChange(QWidget* view);

} // namespace WidgetAccessibility
