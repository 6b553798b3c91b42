#include "settings/setting_keys.h"

#include "settings/color_hex.h"

namespace SettingKeys {

namespace {

QString name(QLatin1StringView text) {
    return QString(text);
}

} // namespace

QStringList allNames() {
    return {
        name(displayMode.name),
        name(isWidgetVisible.name),
        name(autoStartOnLaunch.name),
        name(widgetScale.name),
        name(timerPos.x),
        name(timerPos.y),
        name(timerPos.present),
        name(timerFontSize.name),
        name(hideCountUnlessHover.name),
        name(soundOnFinish.name),
        name(notifyOnFinish.name),
        name(timerDisplayFormat.name),
        name(timerFontStyle.name),
        name(timerFillColor.name),
        name(timerStrokeColor.name),
        name(timerShowOutline.name),
        name(widgetMode.name),
        name(clockUse24Hour.name),
        name(clockShowSeconds.name),
        name(clockShowAMPM.name),
        name(clockTimeZoneID.name),
        name(customCatFileName.name),
        name(customCatDoneFileName.name),
        name(catRotation.name),
        name(catSkinID.name),
        name(timerMode.name),
        name(widgetOrigin.x),
        name(widgetOrigin.y),
        name(widgetOrigin.present),
        name(automaticUpdateChecks.name),
        name(lastUpdateCheck.name),
        name(skippedVersion.name),
        name(hasLaunchedBefore.name),
    };
}

bool read(const KeyValueStore& store, const Key<bool>& key) {
    return store.readBool(name(key.name), key.fallback);
}

double read(const KeyValueStore& store, const Key<double>& key) {
    return store.readText(name(key.name)) ? store.readDouble(name(key.name)) : key.fallback;
}

QColor read(const KeyValueStore& store, const ColorKey& key) {
    const std::optional<QString> text = store.readText(name(key.name));
    const std::optional<QColor> color = text ? colorFromHexString(*text) : std::nullopt;
    return color.value_or(QColor::fromRgba(key.fallback));
}

std::optional<QString> read(const KeyValueStore& store, const TextKey& key) {
    return store.readText(name(key.name));
}

std::optional<TimerMode> read(const KeyValueStore& store, const GoalKey& key) {
    const std::optional<QByteArray> data = store.readData(name(key.name));
    if (!data)
        return std::nullopt;
    const auto decoded = decodeTimerMode(*data);
    if (const auto* mode = std::get_if<TimerMode>(&decoded))
        return *mode;
    return std::nullopt;
}

std::optional<QPointF> read(const KeyValueStore& store, const PointKey& key) {
    if (!store.readBool(name(key.present)))
        return std::nullopt;
    return QPointF(store.readDouble(name(key.x)), store.readDouble(name(key.y)));
}

void write(KeyValueStore& store, const Key<bool>& key, bool value) {
    store.writeBool(name(key.name), value);
}

void write(KeyValueStore& store, const Key<double>& key, double value) {
    store.writeDouble(name(key.name), value);
}

void write(KeyValueStore& store, const ColorKey& key, const QColor& value) {
    store.writeText(name(key.name), colorHexString(value));
}

void write(KeyValueStore& store, const TextKey& key, const std::optional<QString>& value) {
    if (value)
        store.writeText(name(key.name), *value);
    else
        store.remove(name(key.name));
}

void write(KeyValueStore& store, const GoalKey& key, const std::optional<TimerMode>& value) {
    if (value)
        store.writeData(name(key.name), encodeTimerMode(*value));
}

void write(KeyValueStore& store, const PointKey& key, const std::optional<QPointF>& value) {
    if (!value)
        return;
    store.writeDouble(name(key.x), value->x());
    store.writeDouble(name(key.y), value->y());
    store.writeBool(name(key.present), true);
}

} // namespace SettingKeys
