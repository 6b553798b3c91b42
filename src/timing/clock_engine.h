#pragma once

#include "platform/clock.h"
#include "settings/settings.h"

#include <QDateTime>
#include <QObject>
#include <QTimeZone>
#include <QTimer>

#include <memory>
#include <optional>

// The time source of clock mode: refreshes `now` when the shown time changes and writes it
// in the clock options of the settings (24-hour or 12-hour, seconds, AM/PM, time zone).
class ClockEngine : public QObject {
    Q_OBJECT
    Q_PROPERTY(QDateTime now READ now NOTIFY nowChanged)
    Q_PROPERTY(QString displayText READ displayText NOTIFY displayTextChanged)

public:
    // The longest wait between two refreshes while ticking.
    static constexpr int kLongestRefreshMs = 1000;

    ClockEngine(Settings& settings, const Clock& clock, QObject* parent = nullptr);

    static ClockEngine& shared();

    QDateTime now() const { return m_now; }
    QString displayText() const;

    // (Re)starts the refresh timer, taking the current instant at once. Construction calls it.
    // The timer wakes when the shown second (or minute, without seconds) begins, at most a
    // second ahead.
    void start();
    // Stops the refresh timer while nothing shows the time of day, so an idle program does not
    // wake up every second for nothing.
    void stop();
    bool isTicking() const { return m_ticker && m_ticker->isActive(); }
    // Takes the current instant now, as a firing of the refresh timer does, and arms the next
    // one. Also for when the wall clock jumped or the machine woke up.
    void refresh();

    QTimer* ticker() const { return m_ticker.get(); }

signals:
    void nowChanged();
    void displayTextChanged();

private:
    // The chosen zone when it is known to the time-zone database, else none (the device zone).
    std::optional<QTimeZone> chosenZone() const;
    QString formatted(const QDateTime& instant) const;
    int localSecondOfDay(const QDateTime& instant) const;
    void notifyDisplayText();
    int msUntilNextChange() const;

    Settings& m_settings;
    const Clock& m_clock;
    QDateTime m_now;
    std::unique_ptr<QTimer> m_ticker;
    QString m_shownText;

    // Looking a zone up reads the database, so the last one is kept.
    mutable std::optional<QString> m_cachedZoneID;
    mutable std::optional<QTimeZone> m_cachedZone;

    // The text last written and what it was written from: the text can change only on a whole
    // second, so the refreshes within one second share it.
    struct Written {
        qint64 second = 0;
        std::optional<QString> zoneID;
        bool use24Hour = false;
        bool showSeconds = false;
        bool showAMPM = false;
        friend bool operator==(const Written&, const Written&) = default;
    };
    mutable std::optional<Written> m_written;
    mutable QString m_writtenText;

    // The local time at the start of the current minute of UTC. Asking the system for local
    // time looks the zone file up on disk each time, which on a machine woken from sleep costs
    // more than the rest of a second's work; zones move only on whole minutes, so the seconds
    // within a minute are added to the time at its start and the zone is asked again each
    // minute (a change of the device's zone shows with the next minute).
    struct MinuteStart {
        qint64 utcSeconds = 0;
        std::optional<QString> zoneID;
        int localSecondOfDay = 0;
    };
    mutable std::optional<MinuteStart> m_minuteStart;
};
