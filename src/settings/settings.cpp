#include "settings/settings.h"

#include "settings/color_hex.h"

#include <cmath>

namespace {

QString key(const char* name) {
    return QString::fromLatin1(name);
}

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

template <typename E>
E readEnum(const KeyValueStore& store, const char* name) {
    return fromRawValueOrFirst<E>(store.readText(key(name)).value_or(QString()));
}

QColor readColor(const KeyValueStore& store, const char* name, Qt::GlobalColor fallback) {
    const std::optional<QString> text = store.readText(key(name));
    if (!text)
        return fallback;
    return colorFromHexString(*text).value_or(QColor(fallback));
}

} // namespace

Settings::Settings(KeyValueStore& store, QObject* parent)
    : QObject(parent)
    , m_store(store) {
    m_store.registerDefaults({
        {key("isWidgetVisible"), true},
        {key("soundOnFinish"), true},
        {key("timerShowOutline"), true},
        {key("clockUse24Hour"), true},
        {key("clockShowSeconds"), false},
        {key("clockShowAMPM"), true},
    });
    load();
}

Settings& Settings::shared() {
    static Settings* settings = new Settings(KeyValueStore::shared());
    return *settings;
}

void Settings::load() {
    const KeyValueStore& s = m_store;
    m_displayMode = s.readText(key("displayMode")) == u"desktopOnly" ? DisplayMode::desktopOnly
                                                                     : DisplayMode::alwaysOnTop;
    m_isWidgetVisible = s.readBool(key("isWidgetVisible"));
    m_autoStartOnLaunch = s.readBool(key("autoStartOnLaunch"));
    m_widgetScale = s.readDouble(key("widgetScale"));
    m_timerPos = readPoint(key("timerPosX"), key("timerPosY"), key("hasTimerPos"));
    m_timerFontSize = s.readDouble(key("timerFontSize"));
    m_hideCountUnlessHover = s.readBool(key("hideCountUnlessHover"));
    m_soundOnFinish = s.readBool(key("soundOnFinish"));
    m_timerDisplayFormat = readEnum<TimerDisplayFormat>(s, "timerDisplayFormat");
    m_timerFontStyle = readEnum<TimerFontStyle>(s, "timerFontStyle");
    m_timerFillColor = readColor(s, "timerFillColorHex", Qt::white);
    m_timerStrokeColor = readColor(s, "timerStrokeColorHex", Qt::black);
    m_timerShowOutline = s.readBool(key("timerShowOutline"));
    m_widgetMode =
        s.readText(key("widgetMode")) == u"clock" ? WidgetMode::clock : WidgetMode::timer;
    m_clockUse24Hour = s.readBool(key("clockUse24Hour"));
    m_clockShowSeconds = s.readBool(key("clockShowSeconds"));
    m_clockShowAMPM = s.readBool(key("clockShowAMPM"));
    m_clockTimeZoneID = s.readText(key("clockTimeZoneID"));
    m_customCatFileName = s.readText(key("customCatFileName"));
    m_customCatDoneFileName = s.readText(key("customCatDoneFileName"));
    m_catRotation = s.readDouble(key("catRotation"));

    // These three are written back at once: the skin id as it stands, the goal normalised to
    // the writer's form, the origin as a point. An unreadable goal stays in the store untouched.
    setCatSkinID(s.readText(key("catSkinID")));
    std::optional<TimerMode> mode;
    if (const std::optional<QByteArray> data = s.readData(key("timerMode"))) {
        auto decoded = decodeTimerMode(*data);
        if (auto* value = std::get_if<TimerMode>(&decoded))
            mode = *value;
    }
    setTimerMode(mode);
    setWidgetOrigin(readPoint(key("widgetOriginX"), key("widgetOriginY"), key("hasSavedOrigin")));
}

std::optional<QPointF> Settings::readPoint(const QString& x, const QString& y,
                                           const QString& flag) const {
    if (!m_store.readBool(flag))
        return std::nullopt;
    return QPointF(m_store.readDouble(x), m_store.readDouble(y));
}

void Settings::writePoint(const std::optional<QPointF>& point, const QString& x, const QString& y,
                          const QString& flag) {
    if (!point)
        return;
    m_store.writeDouble(x, point->x());
    m_store.writeDouble(y, point->y());
    m_store.writeBool(flag, true);
}

void Settings::writeOptionalText(const QString& name, const std::optional<QString>& value) {
    if (value)
        m_store.writeText(name, *value);
    else
        m_store.remove(name);
}

template <typename T, typename Write>
void Settings::assign(T& field, const T& value, void (Settings::*changed)(), Write&& write) {
    const bool differs = !sameValue(field, value);
    field = value;
    write();
    if (differs)
        emit(this->*changed)();
}

void Settings::setDisplayMode(DisplayMode value) {
    assign(m_displayMode, value, &Settings::displayModeChanged,
           [&] { m_store.writeText(key("displayMode"), rawValue(value)); });
}

void Settings::setWidgetVisible(bool value) {
    assign(m_isWidgetVisible, value, &Settings::isWidgetVisibleChanged,
           [&] { m_store.writeBool(key("isWidgetVisible"), value); });
}

void Settings::setAutoStartOnLaunch(bool value) {
    assign(m_autoStartOnLaunch, value, &Settings::autoStartOnLaunchChanged,
           [&] { m_store.writeBool(key("autoStartOnLaunch"), value); });
}

void Settings::setWidgetScale(double value) {
    assign(m_widgetScale, value, &Settings::widgetScaleChanged,
           [&] { m_store.writeDouble(key("widgetScale"), value); });
}

void Settings::setTimerPos(std::optional<QPointF> value) {
    assign(m_timerPos, value, &Settings::timerPosChanged,
           [&] { writePoint(value, key("timerPosX"), key("timerPosY"), key("hasTimerPos")); });
}

void Settings::setTimerFontSize(double value) {
    assign(m_timerFontSize, value, &Settings::timerFontSizeChanged,
           [&] { m_store.writeDouble(key("timerFontSize"), value); });
}

void Settings::setHideCountUnlessHover(bool value) {
    assign(m_hideCountUnlessHover, value, &Settings::hideCountUnlessHoverChanged,
           [&] { m_store.writeBool(key("hideCountUnlessHover"), value); });
}

void Settings::setSoundOnFinish(bool value) {
    assign(m_soundOnFinish, value, &Settings::soundOnFinishChanged,
           [&] { m_store.writeBool(key("soundOnFinish"), value); });
}

void Settings::setTimerDisplayFormat(TimerDisplayFormat value) {
    assign(m_timerDisplayFormat, value, &Settings::timerDisplayFormatChanged,
           [&] { m_store.writeText(key("timerDisplayFormat"), rawValue(value)); });
}

void Settings::setTimerFontStyle(TimerFontStyle value) {
    assign(m_timerFontStyle, value, &Settings::timerFontStyleChanged,
           [&] { m_store.writeText(key("timerFontStyle"), rawValue(value)); });
}

void Settings::setTimerFillColor(const QColor& value) {
    assign(m_timerFillColor, value, &Settings::timerFillColorChanged,
           [&] { m_store.writeText(key("timerFillColorHex"), colorHexString(value)); });
}

void Settings::setTimerStrokeColor(const QColor& value) {
    assign(m_timerStrokeColor, value, &Settings::timerStrokeColorChanged,
           [&] { m_store.writeText(key("timerStrokeColorHex"), colorHexString(value)); });
}

void Settings::setTimerShowOutline(bool value) {
    assign(m_timerShowOutline, value, &Settings::timerShowOutlineChanged,
           [&] { m_store.writeBool(key("timerShowOutline"), value); });
}

void Settings::setWidgetMode(WidgetMode value) {
    assign(m_widgetMode, value, &Settings::widgetModeChanged,
           [&] { m_store.writeText(key("widgetMode"), rawValue(value)); });
}

void Settings::setClockUse24Hour(bool value) {
    assign(m_clockUse24Hour, value, &Settings::clockUse24HourChanged,
           [&] { m_store.writeBool(key("clockUse24Hour"), value); });
}

void Settings::setClockShowSeconds(bool value) {
    assign(m_clockShowSeconds, value, &Settings::clockShowSecondsChanged,
           [&] { m_store.writeBool(key("clockShowSeconds"), value); });
}

void Settings::setClockShowAMPM(bool value) {
    assign(m_clockShowAMPM, value, &Settings::clockShowAMPMChanged,
           [&] { m_store.writeBool(key("clockShowAMPM"), value); });
}

void Settings::setClockTimeZoneID(const std::optional<QString>& value) {
    assign(m_clockTimeZoneID, value, &Settings::clockTimeZoneIDChanged,
           [&] { writeOptionalText(key("clockTimeZoneID"), value); });
}

void Settings::setCustomCatFileName(const std::optional<QString>& value) {
    assign(m_customCatFileName, value, &Settings::customCatFileNameChanged,
           [&] { writeOptionalText(key("customCatFileName"), value); });
}

void Settings::setCustomCatDoneFileName(const std::optional<QString>& value) {
    assign(m_customCatDoneFileName, value, &Settings::customCatDoneFileNameChanged,
           [&] { writeOptionalText(key("customCatDoneFileName"), value); });
}

void Settings::setCatRotation(double value) {
    assign(m_catRotation, value, &Settings::catRotationChanged,
           [&] { m_store.writeDouble(key("catRotation"), value); });
}

void Settings::setCatSkinID(const std::optional<QString>& value) {
    assign(m_catSkinID, value, &Settings::catSkinIDChanged,
           [&] { writeOptionalText(key("catSkinID"), value); });
}

void Settings::setTimerMode(const std::optional<TimerMode>& value) {
    assign(m_timerMode, value, &Settings::timerModeChanged, [&] {
        if (value)
            m_store.writeData(key("timerMode"), encodeTimerMode(*value));
    });
}

void Settings::setWidgetOrigin(std::optional<QPointF> value) {
    assign(m_widgetOrigin, value, &Settings::widgetOriginChanged, [&] {
        writePoint(value, key("widgetOriginX"), key("widgetOriginY"), key("hasSavedOrigin"));
    });
}
