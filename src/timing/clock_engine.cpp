#include "timing/clock_engine.h"

#include "timing/time_format.h"

ClockEngine::ClockEngine(Settings& settings, const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_clock(clock)
    , m_now(clock.now()) {
    m_shownText = displayText();
    for (auto signal : {&Settings::clockTimeZoneIDChanged, &Settings::clockUse24HourChanged,
                        &Settings::clockShowSecondsChanged, &Settings::clockShowAMPMChanged})
        connect(&m_settings, signal, this, &ClockEngine::notifyDisplayText);
    // Without seconds the text changes on the minute: the next wake-up moves.
    connect(&m_settings, &Settings::clockShowSecondsChanged, this, [this] {
        if (isTicking())
            m_ticker->start(msUntilNextChange());
    });
    start();
}

ClockEngine& ClockEngine::shared() {
    static ClockEngine* engine = new ClockEngine(Settings::shared(), SystemClock::shared());
    return *engine;
}

void ClockEngine::start() {
    m_ticker = std::make_unique<QTimer>();
    m_ticker->setTimerType(Qt::PreciseTimer);
    m_ticker->setSingleShot(true);
    connect(m_ticker.get(), &QTimer::timeout, this, &ClockEngine::refresh);
    refresh();
}

void ClockEngine::stop() {
    m_ticker.reset();
}

void ClockEngine::refresh() {
    const QDateTime now = m_clock.now();
    if (now != m_now) {
        m_now = now;
        emit nowChanged();
        notifyDisplayText();
    }
    if (m_ticker)
        m_ticker->start(msUntilNextChange());
}

int ClockEngine::msUntilNextChange() const {
    // A millisecond past the next whole second (or minute) of the wall clock; zones are whole
    // minutes off UTC, so its minutes begin there too.
    const qint64 ms = m_now.toMSecsSinceEpoch();
    const qint64 unit = m_settings.clockShowSeconds() ? 1000 : 60000;
    const qint64 wait = unit - ((ms % unit) + unit) % unit + 1;
    return int(std::min<qint64>(wait, kLongestRefreshMs));
}

std::optional<QTimeZone> ClockEngine::chosenZone() const {
    const std::optional<QString> id = m_settings.clockTimeZoneID();
    if (!id)
        return std::nullopt;
    if (id != m_cachedZoneID) {
        m_cachedZoneID = id;
        const QTimeZone zone(id->toUtf8());
        m_cachedZone = zone.isValid() ? std::optional(zone) : std::nullopt;
    }
    return m_cachedZone;
}

QString ClockEngine::displayText() const {
    const Written written{m_now.toSecsSinceEpoch(), m_settings.clockTimeZoneID(),
                          m_settings.clockUse24Hour(), m_settings.clockShowSeconds(),
                          m_settings.clockShowAMPM()};
    if (written != m_written) {
        m_written = written;
        m_writtenText = formatted(m_now);
    }
    return m_writtenText;
}

int ClockEngine::localSecondOfDay(const QDateTime& instant) const {
    if (!instant.isValid())
        return 0;
    const qint64 utc = instant.toSecsSinceEpoch();
    const qint64 intoMinute = ((utc % 60) + 60) % 60;
    const qint64 minuteStart = utc - intoMinute;
    const MinuteStart key{minuteStart, m_settings.clockTimeZoneID(), 0};
    if (!m_minuteStart || m_minuteStart->utcSeconds != key.utcSeconds ||
        m_minuteStart->zoneID != key.zoneID) {
        const QDateTime start = QDateTime::fromSecsSinceEpoch(minuteStart, Qt::UTC);
        const std::optional<QTimeZone> zone = chosenZone();
        const QTime time = (zone ? start.toTimeZone(*zone) : start.toLocalTime()).time();
        m_minuteStart = key;
        m_minuteStart->localSecondOfDay = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
    }
    return int((m_minuteStart->localSecondOfDay + intoMinute) % 86400);
}

QString ClockEngine::formatted(const QDateTime& instant) const {
    const int secondOfDay = localSecondOfDay(instant);
    const int hour = secondOfDay / 3600;
    const int minute = secondOfDay / 60 % 60;
    const int second = secondOfDay % 60;
    const bool seconds = m_settings.clockShowSeconds();

    if (m_settings.clockUse24Hour())
        return seconds ? colonTime({hour, minute, second}, 2) : colonTime({hour, minute}, 2);

    const int dialHour = hour % 12 == 0 ? 12 : hour % 12;
    QString text =
        seconds ? colonTime({dialHour, minute, second}, 1) : colonTime({dialHour, minute}, 1);
    if (m_settings.clockShowAMPM())
        text += hour < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM");
    return text;
}

void ClockEngine::notifyDisplayText() {
    QString text = displayText();
    if (text == m_shownText)
        return;
    m_shownText = std::move(text);
    emit displayTextChanged();
}
