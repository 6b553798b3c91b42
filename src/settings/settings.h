#pragma once

#include "settings/enums.h"
#include "settings/key_value_store.h"
#include "settings/setting_keys.h"
#include "timing/timer_mode.h"

#include <QColor>
#include <QObject>
#include <QPointF>

#include <optional>

// Every user choice, loaded from the key-value store at construction and written back on every
// assignment (also of an equal value). The change signals fire only when a value really changes.
class Settings : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        DisplayMode displayMode READ displayMode WRITE setDisplayMode NOTIFY displayModeChanged)
    Q_PROPERTY(bool isWidgetVisible READ isWidgetVisible WRITE setWidgetVisible NOTIFY
                   isWidgetVisibleChanged)
    Q_PROPERTY(bool autoStartOnLaunch READ autoStartOnLaunch WRITE setAutoStartOnLaunch NOTIFY
                   autoStartOnLaunchChanged)
    Q_PROPERTY(double widgetScale READ widgetScale WRITE setWidgetScale NOTIFY widgetScaleChanged)
    Q_PROPERTY(
        std::optional<QPointF> timerPos READ timerPos WRITE setTimerPos NOTIFY timerPosChanged)
    Q_PROPERTY(
        double timerFontSize READ timerFontSize WRITE setTimerFontSize NOTIFY timerFontSizeChanged)
    Q_PROPERTY(bool hideCountUnlessHover READ hideCountUnlessHover WRITE setHideCountUnlessHover
                   NOTIFY hideCountUnlessHoverChanged)
    Q_PROPERTY(
        bool soundOnFinish READ soundOnFinish WRITE setSoundOnFinish NOTIFY soundOnFinishChanged)
    Q_PROPERTY(bool notifyOnFinish READ notifyOnFinish WRITE setNotifyOnFinish NOTIFY
                   notifyOnFinishChanged)
    Q_PROPERTY(TimerDisplayFormat timerDisplayFormat READ timerDisplayFormat WRITE
                   setTimerDisplayFormat NOTIFY timerDisplayFormatChanged)
    Q_PROPERTY(TimerFontStyle timerFontStyle READ timerFontStyle WRITE setTimerFontStyle NOTIFY
                   timerFontStyleChanged)
    Q_PROPERTY(QColor timerFillColor READ timerFillColor WRITE setTimerFillColor NOTIFY
                   timerFillColorChanged)
    Q_PROPERTY(QColor timerStrokeColor READ timerStrokeColor WRITE setTimerStrokeColor NOTIFY
                   timerStrokeColorChanged)
    Q_PROPERTY(bool timerShowOutline READ timerShowOutline WRITE setTimerShowOutline NOTIFY
                   timerShowOutlineChanged)
    Q_PROPERTY(WidgetMode widgetMode READ widgetMode WRITE setWidgetMode NOTIFY widgetModeChanged)
    Q_PROPERTY(bool clockUse24Hour READ clockUse24Hour WRITE setClockUse24Hour NOTIFY
                   clockUse24HourChanged)
    Q_PROPERTY(bool clockShowSeconds READ clockShowSeconds WRITE setClockShowSeconds NOTIFY
                   clockShowSecondsChanged)
    Q_PROPERTY(
        bool clockShowAMPM READ clockShowAMPM WRITE setClockShowAMPM NOTIFY clockShowAMPMChanged)
    Q_PROPERTY(std::optional<QString> clockTimeZoneID READ clockTimeZoneID WRITE setClockTimeZoneID
                   NOTIFY clockTimeZoneIDChanged)
    Q_PROPERTY(std::optional<QString> customCatFileName READ customCatFileName WRITE
                   setCustomCatFileName NOTIFY customCatFileNameChanged)
    Q_PROPERTY(std::optional<QString> customCatDoneFileName READ customCatDoneFileName WRITE
                   setCustomCatDoneFileName NOTIFY customCatDoneFileNameChanged)
    Q_PROPERTY(double catRotation READ catRotation WRITE setCatRotation NOTIFY catRotationChanged)
    Q_PROPERTY(
        std::optional<QString> catSkinID READ catSkinID WRITE setCatSkinID NOTIFY catSkinIDChanged)
    Q_PROPERTY(std::optional<TimerMode> timerMode READ timerMode WRITE setTimerMode NOTIFY
                   timerModeChanged)
    Q_PROPERTY(std::optional<QPointF> widgetOrigin READ widgetOrigin WRITE setWidgetOrigin NOTIFY
                   widgetOriginChanged)

public:
    explicit Settings(KeyValueStore& store, QObject* parent = nullptr);

    // The application's instance, over the user's store.
    static Settings& shared();

    KeyValueStore& store() const { return m_store; }

    DisplayMode displayMode() const { return m_displayMode; }
    bool isWidgetVisible() const { return m_isWidgetVisible; }
    bool autoStartOnLaunch() const { return m_autoStartOnLaunch; }
    double widgetScale() const { return m_widgetScale; }
    std::optional<QPointF> timerPos() const { return m_timerPos; }
    double timerFontSize() const { return m_timerFontSize; }
    bool hideCountUnlessHover() const { return m_hideCountUnlessHover; }
    bool soundOnFinish() const { return m_soundOnFinish; }
    bool notifyOnFinish() const { return m_notifyOnFinish; }
    TimerDisplayFormat timerDisplayFormat() const { return m_timerDisplayFormat; }
    TimerFontStyle timerFontStyle() const { return m_timerFontStyle; }
    QColor timerFillColor() const { return m_timerFillColor; }
    QColor timerStrokeColor() const { return m_timerStrokeColor; }
    bool timerShowOutline() const { return m_timerShowOutline; }
    WidgetMode widgetMode() const { return m_widgetMode; }
    bool clockUse24Hour() const { return m_clockUse24Hour; }
    bool clockShowSeconds() const { return m_clockShowSeconds; }
    bool clockShowAMPM() const { return m_clockShowAMPM; }
    std::optional<QString> clockTimeZoneID() const { return m_clockTimeZoneID; }
    std::optional<QString> customCatFileName() const { return m_customCatFileName; }
    std::optional<QString> customCatDoneFileName() const { return m_customCatDoneFileName; }
    double catRotation() const { return m_catRotation; }
    std::optional<QString> catSkinID() const { return m_catSkinID; }
    std::optional<TimerMode> timerMode() const { return m_timerMode; }
    std::optional<QPointF> widgetOrigin() const { return m_widgetOrigin; }

    void setDisplayMode(DisplayMode value);
    void setWidgetVisible(bool value);
    void setAutoStartOnLaunch(bool value);
    void setWidgetScale(double value);
    // Nothing is written for an absent position.
    void setTimerPos(std::optional<QPointF> value);
    void setTimerFontSize(double value);
    void setHideCountUnlessHover(bool value);
    void setSoundOnFinish(bool value);
    void setNotifyOnFinish(bool value);
    void setTimerDisplayFormat(TimerDisplayFormat value);
    void setTimerFontStyle(TimerFontStyle value);
    void setTimerFillColor(const QColor& value);
    void setTimerStrokeColor(const QColor& value);
    void setTimerShowOutline(bool value);
    void setWidgetMode(WidgetMode value);
    void setClockUse24Hour(bool value);
    void setClockShowSeconds(bool value);
    void setClockShowAMPM(bool value);
    // An absent text removes its key.
    void setClockTimeZoneID(const std::optional<QString>& value);
    void setCustomCatFileName(const std::optional<QString>& value);
    void setCustomCatDoneFileName(const std::optional<QString>& value);
    void setCatRotation(double value);
    void setCatSkinID(const std::optional<QString>& value);
    // Nothing is written for an absent goal.
    void setTimerMode(const std::optional<TimerMode>& value);
    // Nothing is written for an absent origin.
    void setWidgetOrigin(std::optional<QPointF> value);

signals:
    void displayModeChanged();
    void isWidgetVisibleChanged();
    void autoStartOnLaunchChanged();
    void widgetScaleChanged();
    void timerPosChanged();
    void timerFontSizeChanged();
    void hideCountUnlessHoverChanged();
    void soundOnFinishChanged();
    void notifyOnFinishChanged();
    void timerDisplayFormatChanged();
    void timerFontStyleChanged();
    void timerFillColorChanged();
    void timerStrokeColorChanged();
    void timerShowOutlineChanged();
    void widgetModeChanged();
    void clockUse24HourChanged();
    void clockShowSecondsChanged();
    void clockShowAMPMChanged();
    void clockTimeZoneIDChanged();
    void customCatFileNameChanged();
    void customCatDoneFileNameChanged();
    void catRotationChanged();
    void catSkinIDChanged();
    void timerModeChanged();
    void widgetOriginChanged();

private:
    void load();

    // Stores the value, writes it under its key (always) and emits `changed` if it differs.
    template <typename T, typename Key>
    void assign(T& field, const T& value, void (Settings::*changed)(), const Key& key);

    KeyValueStore& m_store;

    DisplayMode m_displayMode = SettingKeys::displayMode.fallback;
    bool m_isWidgetVisible = SettingKeys::isWidgetVisible.fallback;
    bool m_autoStartOnLaunch = SettingKeys::autoStartOnLaunch.fallback;
    double m_widgetScale = SettingKeys::widgetScale.fallback;
    std::optional<QPointF> m_timerPos;
    double m_timerFontSize = SettingKeys::timerFontSize.fallback;
    bool m_hideCountUnlessHover = SettingKeys::hideCountUnlessHover.fallback;
    bool m_soundOnFinish = SettingKeys::soundOnFinish.fallback;
    bool m_notifyOnFinish = SettingKeys::notifyOnFinish.fallback;
    TimerDisplayFormat m_timerDisplayFormat = SettingKeys::timerDisplayFormat.fallback;
    TimerFontStyle m_timerFontStyle = SettingKeys::timerFontStyle.fallback;
    QColor m_timerFillColor = QColor::fromRgba(SettingKeys::timerFillColor.fallback);
    QColor m_timerStrokeColor = QColor::fromRgba(SettingKeys::timerStrokeColor.fallback);
    bool m_timerShowOutline = SettingKeys::timerShowOutline.fallback;
    WidgetMode m_widgetMode = SettingKeys::widgetMode.fallback;
    bool m_clockUse24Hour = SettingKeys::clockUse24Hour.fallback;
    bool m_clockShowSeconds = SettingKeys::clockShowSeconds.fallback;
    bool m_clockShowAMPM = SettingKeys::clockShowAMPM.fallback;
    std::optional<QString> m_clockTimeZoneID;
    std::optional<QString> m_customCatFileName;
    std::optional<QString> m_customCatDoneFileName;
    double m_catRotation = SettingKeys::catRotation.fallback;
    std::optional<QString> m_catSkinID;
    std::optional<TimerMode> m_timerMode;
    std::optional<QPointF> m_widgetOrigin;
};
