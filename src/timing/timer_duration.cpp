#include "timing/timer_duration.h"

#include "timing/saturating.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Floor division, so that negative minutes borrow from the hour.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The wall-clock time hour:minute on `day`, carrying out-of-range fields over into days.
QDateTime wallClockOn(QDate day, std::int64_t hour, std::int64_t minute) {
    const std::int64_t totalMinutes = linearCombination(hour, 60, minute, 1);
    const std::int64_t dayCarry = floorDiv(totalMinutes, 24 * 60);
    const std::int64_t minuteOfDay = ((totalMinutes % (24 * 60)) + 24 * 60) % (24 * 60);
    // QDate covers about ±2^31 years; a carry far beyond that builds no date at all.
    if (dayCarry > 1'000'000'000 || dayCarry < -1'000'000'000)
        return QDateTime();
    const QDate date = day.addDays(dayCarry);
    if (!date.isValid())
        return QDateTime();
    return localInstant(date, QTime(int(minuteOfDay / 60), int(minuteOfDay % 60)),
                        SkippedTime::shiftByGap);
}

double clampDuration(double seconds) {
    return std::min(seconds, kMaxCountdownSeconds);
}

} // namespace

QDateTime nextWallClockTime(std::int64_t hour, std::int64_t minute, const QDateTime& now) {
    const QDate today = now.toLocalTime().date();
    QDateTime target = wallClockOn(today, hour, minute);
    if (!target.isValid())
        return QDateTime();
    if (target <= now) {
        // Calendar-day arithmetic keeps the wall-clock time across a daylight-saving change.
        const QDateTime tomorrow = wallClockOn(today.addDays(1), hour, minute);
        if (tomorrow.isValid())
            target = tomorrow;
    }
    return target;
}

double configuredDuration(const TimerMode& mode, const QDateTime& now) {
    switch (mode.kind) {
    case TimerMode::Kind::task:
        return clampDuration(
            double(linearCombination(std::max<std::int64_t>(mode.minutes(), 1), 60, 0, 0)));
    case TimerMode::Kind::workDuration: {
        const std::int64_t total = linearCombination(mode.hours(), 3600, mode.minutes(), 60);
        return clampDuration(double(std::max<std::int64_t>(total, 1)));
    }
    case TimerMode::Kind::workOff: {
        const QDateTime target = nextWallClockTime(mode.hour(), mode.minute(), now);
        if (!target.isValid())
            return 0.0;
        return clampDuration(double(now.msecsTo(target)) / 1000.0);
    }
    }
    return 0.0;
}

// The candidates are built from the zone's offsets around the time, not by asking the C library
// to resolve the wall time, whose answer for a repeated time depends on what it was asked before.
QDateTime localInstant(QDate date, QTime time, SkippedTime skipped) {
    const QDateTime asUtc(date, time, Qt::UTC);
    const int before = asUtc.addDays(-1).toLocalTime().offsetFromUtc();
    const int after = asUtc.addDays(1).toLocalTime().offsetFromUtc();
    const int offsets[] = {before, asUtc.toLocalTime().offsetFromUtc(), after};
    std::optional<QDateTime> earliest;
    for (const int offset : offsets) {
        const QDateTime candidate = asUtc.addSecs(-offset);
        const QDateTime local = candidate.toLocalTime();
        if (local.date() == date && local.time() == time && (!earliest || candidate < *earliest))
            earliest = candidate;
    }
    if (earliest)
        return earliest->toLocalTime();
    const QDateTime shifted = asUtc.addSecs(-before);
    if (skipped == SkippedTime::shiftByGap || after <= before)
        return shifted.toLocalTime();
    // The end of the gap is the clock change itself: the first instant whose wall-clock time
    // is past the asked one, found to the second between the two readings of the time.
    const auto wallClock = [](const QDateTime& instant) {
        const QDateTime local = instant.toLocalTime();
        return QDateTime(local.date(), local.time(), Qt::UTC);
    };
    QDateTime low = asUtc.addSecs(-after);
    QDateTime high = shifted;
    while (low.secsTo(high) > 1) {
        const QDateTime middle = low.addSecs(low.secsTo(high) / 2);
        (wallClock(middle) > asUtc ? high : low) = middle;
    }
    return high.toLocalTime();
}
