#pragma once

#include <QLatin1StringView>
#include <QString>

#include <array>
#include <optional>
#include <utility>
#include <vector>

// Closed vocabularies whose text raw values are also their stored values. Each lists its cases
// in declaration order, which is also the order in which pickers show them.

// The widget window's level.
enum class DisplayMode { alwaysOnTop, desktopOnly };
// What the widget shows: the countdown or the time of day.
enum class WidgetMode { timer, clock };
// How the remaining time is written.
enum class TimerDisplayFormat { automatic, noSeconds, minutesWithUnit, secondsWithUnit, korean };
// The typeface of the time text.
enum class TimerFontStyle {
    rounded,
    monospaced,
    standard,
    serif,
    typewriter,
    chalkboard,
    marker,
    handwriting
};

template <typename E>
struct EnumCases;

#define PURRTICK_ENUM_CASE(E, c, raw)                                                              \
    std::pair {                                                                                    \
        E::c, QLatin1StringView(raw)                                                               \
    }

template <>
struct EnumCases<DisplayMode> {
    static constexpr std::array cases{
        PURRTICK_ENUM_CASE(DisplayMode, alwaysOnTop, "alwaysOnTop"),
        PURRTICK_ENUM_CASE(DisplayMode, desktopOnly, "desktopOnly"),
    };
};

template <>
struct EnumCases<WidgetMode> {
    static constexpr std::array cases{
        PURRTICK_ENUM_CASE(WidgetMode, timer, "timer"),
        PURRTICK_ENUM_CASE(WidgetMode, clock, "clock"),
    };
};

template <>
struct EnumCases<TimerDisplayFormat> {
    static constexpr std::array cases{
        PURRTICK_ENUM_CASE(TimerDisplayFormat, automatic, "auto"),
        PURRTICK_ENUM_CASE(TimerDisplayFormat, noSeconds, "noSeconds"),
        PURRTICK_ENUM_CASE(TimerDisplayFormat, minutesWithUnit, "minutesWithUnit"),
        PURRTICK_ENUM_CASE(TimerDisplayFormat, secondsWithUnit, "secondsWithUnit"),
        PURRTICK_ENUM_CASE(TimerDisplayFormat, korean, "korean"),
    };
};

template <>
struct EnumCases<TimerFontStyle> {
    static constexpr std::array cases{
        PURRTICK_ENUM_CASE(TimerFontStyle, rounded, "rounded"),
        PURRTICK_ENUM_CASE(TimerFontStyle, monospaced, "monospaced"),
        PURRTICK_ENUM_CASE(TimerFontStyle, standard, "standard"),
        PURRTICK_ENUM_CASE(TimerFontStyle, serif, "serif"),
        PURRTICK_ENUM_CASE(TimerFontStyle, typewriter, "typewriter"),
        PURRTICK_ENUM_CASE(TimerFontStyle, chalkboard, "chalkboard"),
        PURRTICK_ENUM_CASE(TimerFontStyle, marker, "marker"),
        PURRTICK_ENUM_CASE(TimerFontStyle, handwriting, "handwriting"),
    };
};

#undef PURRTICK_ENUM_CASE

// The stored text of a case.
template <typename E>
QString rawValue(E value) {
    for (const auto& [c, raw] : EnumCases<E>::cases)
        if (c == value)
            return QString(raw);
    return QString(EnumCases<E>::cases.front().second);
}

// The case whose raw value is exactly `text` (case-sensitive), or nothing.
template <typename E>
std::optional<E> fromRawValue(QStringView text) {
    for (const auto& [c, raw] : EnumCases<E>::cases)
        if (text == raw)
            return c;
    return std::nullopt;
}

// The case for a stored text; absent or unrecognised text gives the first case.
template <typename E>
E fromRawValueOrFirst(QStringView text) {
    return fromRawValue<E>(text).value_or(EnumCases<E>::cases.front().first);
}

template <typename E>
std::vector<E> allCases() {
    std::vector<E> result;
    for (const auto& entry : EnumCases<E>::cases)
        result.push_back(entry.first);
    return result;
}
