#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <variant>

// What the countdown counts towards. The fields are not range-checked here: the engine clamps
// where it computes a duration, and the settings window limits what can be entered.
struct TimerMode {
    enum class Kind { task, workOff, workDuration };

    // A focus period of `a` minutes (`b` unused).
    static constexpr TimerMode task(std::int64_t minutes) { return {Kind::task, minutes, 0}; }
    // The next occurrence of the wall-clock time a:b.
    static constexpr TimerMode workOff(std::int64_t hour, std::int64_t minute) {
        return {Kind::workOff, hour, minute};
    }
    // a hours and b minutes from the start.
    static constexpr TimerMode workDuration(std::int64_t hours, std::int64_t minutes) {
        return {Kind::workDuration, hours, minutes};
    }
    static constexpr TimerMode defaultMode() { return task(25); }

    Kind kind = Kind::task;
    std::int64_t a = 25;
    std::int64_t b = 0;

    constexpr std::int64_t minutes() const { return kind == Kind::task ? a : b; }
    constexpr std::int64_t hour() const { return a; }
    constexpr std::int64_t minute() const { return b; }
    constexpr std::int64_t hours() const { return a; }

    friend constexpr bool operator==(const TimerMode& l, const TimerMode& r) {
        // A task has a single field; `b` never takes part in its identity.
        return l.kind == r.kind && l.a == r.a && (l.kind == Kind::task || l.b == r.b);
    }
};

// Why a stored goal could not be read.
struct TimerModeDecodeError {
    enum class Kind { dataCorrupted, typeMismatch, keyNotFound };
    Kind kind;
    QString description;
};

// The stored form: a compact JSON object with one member named after the case, whose value is
// an object holding the case's integer fields, e.g. {"workOff":{"hour":18,"minute":0}}.
QByteArray encodeTimerMode(const TimerMode& mode);
std::variant<TimerMode, TimerModeDecodeError> decodeTimerMode(const QByteArray& json);

QString timerModeCaseName(TimerMode::Kind kind);
