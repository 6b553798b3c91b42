#pragma once

#include "timing/timer_mode.h"

#include <QDateTime>

// The longest countdown the engine runs: a century. Stored goals are user-editable, and an
// end date beyond this would leave the range of dates the program can represent.
inline constexpr double kMaxCountdownSeconds = 100.0 * 365.25 * 24 * 3600;

// The seconds a goal counts down from `now`. A task under a minute counts as one minute, a work
// duration of zero or less as one second. A leave-work time counts to its next occurrence in the
// local time zone; 0 when no such instant exists.
double configuredDuration(const TimerMode& mode, const QDateTime& now);

// The next instant after `now` whose local wall-clock time is hour:minute (a time already
// reached today counts towards tomorrow), or an invalid date-time when none can be built.
// Out-of-range fields carry over as on a calendar (minute 75 is 1:15 past the hour); a time
// skipped by a daylight-saving change moves forward by the length of the gap; a time that
// occurs twice takes its first occurrence.
QDateTime nextWallClockTime(std::int64_t hour, std::int64_t minute, const QDateTime& now);

// How a wall-clock time that a daylight-saving change skips is read.
enum class SkippedTime {
    shiftByGap, // with the offset in force before the gap: later by the gap's length
    gapEnd,     // as the next valid time: the moment the clocks change
};

// The local instant with this wall-clock date and time. A time that occurs twice (when the
// clocks go back) is its first occurrence.
QDateTime localInstant(QDate date, QTime time, SkippedTime skipped);
