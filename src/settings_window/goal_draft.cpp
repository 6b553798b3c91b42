#include "settings_window/goal_draft.h"

#include "timing/timer_duration.h"
#include "timing/timer_engine.h"

GoalDraft::GoalDraft(const QDateTime& now)
    : offTime(todayAt(18, 0, now).value_or(now)) {}

std::optional<QDateTime> GoalDraft::todayAt(std::int64_t hour, std::int64_t minute,
                                            const QDateTime& now) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return std::nullopt;
    const QDate today = now.toLocalTime().date();
    const QDateTime instant =
        localInstant(today, QTime(int(hour), int(minute)), SkippedTime::gapEnd);
    if (!today.isValid() || !instant.isValid())
        return std::nullopt;
    return instant;
}

void GoalDraft::loadFrom(const TimerMode& goal, const QDateTime& now) {
    switch (goal.kind) {
    case TimerMode::Kind::task:
        category = Category::focus;
        minutes = goal.minutes();
        return;
    case TimerMode::Kind::workOff:
        category = Category::commute;
        offKind = OffKind::clock;
        if (const std::optional<QDateTime> time = todayAt(goal.hour(), goal.minute(), now))
            offTime = *time;
        return;
    case TimerMode::Kind::workDuration:
        category = Category::commute;
        offKind = OffKind::duration;
        workHours = goal.hours();
        workMinutes = goal.minutes();
        return;
    }
}

void GoalDraft::loadFromEngine(const TimerEngine& engine, const QDateTime& now) {
    loadFrom(engine.mode(), now);
}

TimerMode GoalDraft::goal() const {
    if (category == Category::focus)
        return TimerMode::task(minutes);
    if (offKind == OffKind::duration)
        return TimerMode::workDuration(workHours, workMinutes);
    const QTime time = offTime.toLocalTime().time();
    return time.isValid() ? TimerMode::workOff(time.hour(), time.minute())
                          : TimerMode::workOff(18, 0);
}

void GoalDraft::apply(TimerEngine& engine) const {
    engine.setMode(goal());
}
