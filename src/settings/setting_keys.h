#pragma once

#include "settings/enums.h"
#include "settings/key_value_store.h"
#include "timing/timer_mode.h"

#include <QColor>
#include <QLatin1StringView>
#include <QPointF>
#include <QStringList>

#include <optional>

// Every entry of the settings file, declared once: its name in the file, how its value is
// written there, and what a missing or unreadable entry reads as. The settings object, the
// settings window and the tests all go through these rows.
namespace SettingKeys {

// A value stored under one name; `fallback` is what a missing or unreadable entry reads as.
// Booleans are "true"/"false", numbers are decimal text, enumerations their raw value.
template <typename T>
struct Key {
    QLatin1StringView name;
    T fallback;
};

// A colour as "#RRGGBB" (or "#RRGGBBAA" when not opaque).
struct ColorKey {
    QLatin1StringView name;
    QRgb fallback;
};

// An optional text; an absent value removes the entry.
struct TextKey {
    QLatin1StringView name;
};

// The timer goal in its JSON form; an absent goal writes nothing.
struct GoalKey {
    QLatin1StringView name;
};

// An optional point as two numbers and a flag saying it is present; an absent point writes
// nothing, so the last point stays in the file with its flag.
struct PointKey {
    QLatin1StringView x;
    QLatin1StringView y;
    QLatin1StringView present;
};

using L = QLatin1StringView;

inline constexpr Key<DisplayMode> displayMode{L("displayMode"), DisplayMode::alwaysOnTop};
inline constexpr Key<bool> isWidgetVisible{L("isWidgetVisible"), true};
inline constexpr Key<bool> autoStartOnLaunch{L("autoStartOnLaunch"), false};
// 0 stands for "never set"; the layout store replaces values outside its range.
inline constexpr Key<double> widgetScale{L("widgetScale"), 0.0};
inline constexpr PointKey timerPos{L("timerPosX"), L("timerPosY"), L("hasTimerPos")};
inline constexpr Key<double> timerFontSize{L("timerFontSize"), 0.0};
inline constexpr Key<bool> hideCountUnlessHover{L("hideCountUnlessHover"), false};
inline constexpr Key<bool> soundOnFinish{L("soundOnFinish"), true};
// A desktop notification when a countdown finishes.
inline constexpr Key<bool> notifyOnFinish{L("notifyOnFinish"), true};
inline constexpr Key<TimerDisplayFormat> timerDisplayFormat{L("timerDisplayFormat"),
                                                            TimerDisplayFormat::automatic};
inline constexpr Key<TimerFontStyle> timerFontStyle{L("timerFontStyle"), TimerFontStyle::rounded};
inline constexpr ColorKey timerFillColor{L("timerFillColorHex"), 0xFFFFFFFF};
inline constexpr ColorKey timerStrokeColor{L("timerStrokeColorHex"), 0xFF000000};
inline constexpr Key<bool> timerShowOutline{L("timerShowOutline"), true};
inline constexpr Key<WidgetMode> widgetMode{L("widgetMode"), WidgetMode::timer};
inline constexpr Key<bool> clockUse24Hour{L("clockUse24Hour"), true};
inline constexpr Key<bool> clockShowSeconds{L("clockShowSeconds"), false};
inline constexpr Key<bool> clockShowAMPM{L("clockShowAMPM"), true};
inline constexpr TextKey clockTimeZoneID{L("clockTimeZoneID")};
inline constexpr TextKey customCatFileName{L("customCatFileName")};
inline constexpr TextKey customCatDoneFileName{L("customCatDoneFileName")};
inline constexpr Key<double> catRotation{L("catRotation"), 0.0};
inline constexpr TextKey catSkinID{L("catSkinID")};
inline constexpr GoalKey timerMode{L("timerMode")};
inline constexpr PointKey widgetOrigin{L("widgetOriginX"), L("widgetOriginY"), L("hasSavedOrigin")};

// The updater's memory (the names the update framework's users know): whether to check by
// itself ("true"/"false", absent until the user answered), when it last checked (seconds since
// 1970 UTC, 0 for never), the version the user chose to skip, and whether this is not the first
// launch (the first one asks nothing).
inline constexpr TextKey automaticUpdateChecks{L("SUEnableAutomaticChecks")};
inline constexpr Key<double> lastUpdateCheck{L("SULastCheckTime"), 0.0};
inline constexpr TextKey skippedVersion{L("SUSkippedVersion")};
inline constexpr Key<bool> hasLaunchedBefore{L("SUHasLaunchedBefore"), false};

// Every name the settings file can hold, in declaration order.
QStringList allNames();

// Reading and writing a row. Reads never fail: what cannot be understood reads as the row's
// fallback (or nothing, for the optional rows).
bool read(const KeyValueStore& store, const Key<bool>& key);
double read(const KeyValueStore& store, const Key<double>& key);
QColor read(const KeyValueStore& store, const ColorKey& key);
std::optional<QString> read(const KeyValueStore& store, const TextKey& key);
std::optional<TimerMode> read(const KeyValueStore& store, const GoalKey& key);
std::optional<QPointF> read(const KeyValueStore& store, const PointKey& key);
template <typename E>
E read(const KeyValueStore& store, const Key<E>& key) {
    const std::optional<QString> text = store.readText(QString(key.name));
    return text ? fromRawValue<E>(*text).value_or(key.fallback) : key.fallback;
}

void write(KeyValueStore& store, const Key<bool>& key, bool value);
void write(KeyValueStore& store, const Key<double>& key, double value);
void write(KeyValueStore& store, const ColorKey& key, const QColor& value);
void write(KeyValueStore& store, const TextKey& key, const std::optional<QString>& value);
void write(KeyValueStore& store, const GoalKey& key, const std::optional<TimerMode>& value);
void write(KeyValueStore& store, const PointKey& key, const std::optional<QPointF>& value);
template <typename E>
void write(KeyValueStore& store, const Key<E>& key, E value) {
    store.writeText(QString(key.name), rawValue(value));
}

} // namespace SettingKeys
