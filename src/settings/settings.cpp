#include "settings/settings.h"

#include "settings/setting_keys.h"

#include <cmath>

namespace Keys = SettingKeys;

namespace {

// Equality for change notification: doubles by value, with NaN equal to NaN so that a stored
// NaN does not notify on every assignment.
template <typename T>
bool sameValue(const T& a, const T& b) {
    return a == b;
}

template <>
bool sameValue<double>(const double& a, const double& b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

Settings::Settings(KeyValueStore& store, QObject* parent)
    : QObject(parent)
    , m_store(store) {
    // The defaults are the rows' fallbacks; nothing needs registering with the store.
    load();
}

Settings& Settings::shared() {
    static Settings* settings = new Settings(KeyValueStore::shared());
    return *settings;
}

void Settings::load() {
    const KeyValueStore& s = m_store;
    m_displayMode = Keys::read(s, Keys::displayMode);
    m_isWidgetVisible = Keys::read(s, Keys::isWidgetVisible);
    m_autoStartOnLaunch = Keys::read(s, Keys::autoStartOnLaunch);
    m_widgetScale = Keys::read(s, Keys::widgetScale);
    m_timerPos = Keys::read(s, Keys::timerPos);
    m_timerFontSize = Keys::read(s, Keys::timerFontSize);
    m_hideCountUnlessHover = Keys::read(s, Keys::hideCountUnlessHover);
    m_soundOnFinish = Keys::read(s, Keys::soundOnFinish);
    m_notifyOnFinish = Keys::read(s, Keys::notifyOnFinish);
    m_timerDisplayFormat = Keys::read(s, Keys::timerDisplayFormat);
    m_timerFontStyle = Keys::read(s, Keys::timerFontStyle);
    m_timerFillColor = Keys::read(s, Keys::timerFillColor);
    m_timerStrokeColor = Keys::read(s, Keys::timerStrokeColor);
    m_timerShowOutline = Keys::read(s, Keys::timerShowOutline);
    m_widgetMode = Keys::read(s, Keys::widgetMode);
    m_clockUse24Hour = Keys::read(s, Keys::clockUse24Hour);
    m_clockShowSeconds = Keys::read(s, Keys::clockShowSeconds);
    m_clockShowAMPM = Keys::read(s, Keys::clockShowAMPM);
    m_clockTimeZoneID = Keys::read(s, Keys::clockTimeZoneID);
    m_customCatFileName = Keys::read(s, Keys::customCatFileName);
    m_customCatDoneFileName = Keys::read(s, Keys::customCatDoneFileName);
    m_catRotation = Keys::read(s, Keys::catRotation);

    // These three are written back at once: the skin id as it stands, the goal normalised to
    // the writer's form, the origin as a point. An unreadable goal stays in the store untouched.
    setCatSkinID(Keys::read(s, Keys::catSkinID));
    setTimerMode(Keys::read(s, Keys::timerMode));
    setWidgetOrigin(Keys::read(s, Keys::widgetOrigin));
}

template <typename T, typename Key>
void Settings::assign(T& field, const T& value, void (Settings::*changed)(), const Key& key) {
    const bool differs = !sameValue(field, value);
    field = value;
    Keys::write(m_store, key, value);
    if (differs)
        emit(this->*changed)();
}

void Settings::setDisplayMode(DisplayMode value) {
    assign(m_displayMode, value, &Settings::displayModeChanged, Keys::displayMode);
}

void Settings::setWidgetVisible(bool value) {
    assign(m_isWidgetVisible, value, &Settings::isWidgetVisibleChanged, Keys::isWidgetVisible);
}

void Settings::setAutoStartOnLaunch(bool value) {
    assign(m_autoStartOnLaunch, value, &Settings::autoStartOnLaunchChanged,
           Keys::autoStartOnLaunch);
}

void Settings::setWidgetScale(double value) {
    assign(m_widgetScale, value, &Settings::widgetScaleChanged, Keys::widgetScale);
}

void Settings::setTimerPos(std::optional<QPointF> value) {
    assign(m_timerPos, value, &Settings::timerPosChanged, Keys::timerPos);
}

void Settings::setTimerFontSize(double value) {
    assign(m_timerFontSize, value, &Settings::timerFontSizeChanged, Keys::timerFontSize);
}

void Settings::setHideCountUnlessHover(bool value) {
    assign(m_hideCountUnlessHover, value, &Settings::hideCountUnlessHoverChanged,
           Keys::hideCountUnlessHover);
}

void Settings::setSoundOnFinish(bool value) {
    assign(m_soundOnFinish, value, &Settings::soundOnFinishChanged, Keys::soundOnFinish);
}

void Settings::setNotifyOnFinish(bool value) {
    assign(m_notifyOnFinish, value, &Settings::notifyOnFinishChanged, Keys::notifyOnFinish);
}

void Settings::setTimerDisplayFormat(TimerDisplayFormat value) {
    assign(m_timerDisplayFormat, value, &Settings::timerDisplayFormatChanged,
           Keys::timerDisplayFormat);
}

void Settings::setTimerFontStyle(TimerFontStyle value) {
    assign(m_timerFontStyle, value, &Settings::timerFontStyleChanged, Keys::timerFontStyle);
}

void Settings::setTimerFillColor(const QColor& value) {
    assign(m_timerFillColor, value, &Settings::timerFillColorChanged, Keys::timerFillColor);
}

void Settings::setTimerStrokeColor(const QColor& value) {
    assign(m_timerStrokeColor, value, &Settings::timerStrokeColorChanged, Keys::timerStrokeColor);
}

void Settings::setTimerShowOutline(bool value) {
    assign(m_timerShowOutline, value, &Settings::timerShowOutlineChanged, Keys::timerShowOutline);
}

void Settings::setWidgetMode(WidgetMode value) {
    assign(m_widgetMode, value, &Settings::widgetModeChanged, Keys::widgetMode);
}

void Settings::setClockUse24Hour(bool value) {
    assign(m_clockUse24Hour, value, &Settings::clockUse24HourChanged, Keys::clockUse24Hour);
}

void Settings::setClockShowSeconds(bool value) {
    assign(m_clockShowSeconds, value, &Settings::clockShowSecondsChanged, Keys::clockShowSeconds);
}

void Settings::setClockShowAMPM(bool value) {
    assign(m_clockShowAMPM, value, &Settings::clockShowAMPMChanged, Keys::clockShowAMPM);
}

void Settings::setClockTimeZoneID(const std::optional<QString>& value) {
    assign(m_clockTimeZoneID, value, &Settings::clockTimeZoneIDChanged, Keys::clockTimeZoneID);
}

void Settings::setCustomCatFileName(const std::optional<QString>& value) {
    assign(m_customCatFileName, value, &Settings::customCatFileNameChanged,
           Keys::customCatFileName);
}

void Settings::setCustomCatDoneFileName(const std::optional<QString>& value) {
    assign(m_customCatDoneFileName, value, &Settings::customCatDoneFileNameChanged,
           Keys::customCatDoneFileName);
}

void Settings::setCatRotation(double value) {
    assign(m_catRotation, value, &Settings::catRotationChanged, Keys::catRotation);
}

void Settings::setCatSkinID(const std::optional<QString>& value) {
    assign(m_catSkinID, value, &Settings::catSkinIDChanged, Keys::catSkinID);
}

void Settings::setTimerMode(const std::optional<TimerMode>& value) {
    assign(m_timerMode, value, &Settings::timerModeChanged, Keys::timerMode);
}

void Settings::setWidgetOrigin(std::optional<QPointF> value) {
    assign(m_widgetOrigin, value, &Settings::widgetOriginChanged, Keys::widgetOrigin);
}
