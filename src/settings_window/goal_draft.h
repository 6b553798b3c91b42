#pragma once

#include "timing/timer_mode.h"

#include <QDateTime>

#include <cstdint>
#include <optional>

class TimerEngine;

// The countdown goal as the settings window edits it: a copy of the engine's goal that changes
// nothing until it is applied. Both kinds of commute goal keep their values while the other is
// edited, so switching back and forth loses nothing.
class GoalDraft {
public:
    enum class Category { focus, commute };
    enum class OffKind { clock, duration };

    // A fresh draft: a 25-minute focus period; leave work at 18:00 today or after 9 hours.
    explicit GoalDraft(const QDateTime& now);

    // Takes the engine's goal: its kind and its fields; the fields of the other kinds stay.
    void loadFrom(const TimerMode& goal, const QDateTime& now);
    void loadFromEngine(const TimerEngine& engine, const QDateTime& now);
    // The goal the draft describes.
    TimerMode goal() const;
    // Sets the engine's goal (which the engine stores).
    void apply(TimerEngine& engine) const;

    // hour:minute today in the local calendar: the next valid time when the clocks skip it,
    // the first occurrence when it repeats; nothing when no such time can be formed.
    static std::optional<QDateTime> todayAt(std::int64_t hour, std::int64_t minute,
                                            const QDateTime& now);

    Category category = Category::focus;
    OffKind offKind = OffKind::duration;
    std::int64_t minutes = 25;
    QDateTime offTime;
    std::int64_t workHours = 9;
    std::int64_t workMinutes = 0;
};
