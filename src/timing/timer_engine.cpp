#include "timing/timer_engine.h"

#include "timing/time_format.h"
#include "timing/timer_duration.h"

#include <algorithm>
#include <cmath>

namespace {

std::unique_ptr<QTimer> repeatingTimer(int intervalMs) {
    auto timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(intervalMs);
    return timer;
}

double secondsBetween(const QDateTime& from, const QDateTime& to) {
    return double(from.msecsTo(to)) / 1000.0;
}

} // namespace

TimerEngine::TimerEngine(Settings& settings, const Clock& clock, AlertSound& sound, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_clock(clock)
    , m_sound(sound)
    , m_mode(settings.timerMode().value_or(TimerMode::defaultMode())) {
    resetToConfigured();
    m_shownSeconds = roundedSeconds(m_remaining);
    m_shownFormat = m_settings.timerDisplayFormat();
    m_shownText = displayText();
    m_shownSubtitle = subtitle();
    connect(&m_settings, &Settings::timerDisplayFormatChanged, this, [this] {
        notifyDisplayText();
        // Another format changes its text at other instants.
        if (m_ticker && m_ticker->isActive())
            armTicker();
    });
}

TimerEngine::~TimerEngine() = default;

TimerEngine& TimerEngine::shared() {
    static TimerEngine* engine =
        new TimerEngine(Settings::shared(), SystemClock::shared(), AlertSound::shared());
    return *engine;
}

void TimerEngine::setMode(const TimerMode& mode) {
    const bool differs = !(mode == m_mode);
    m_mode = mode;
    m_settings.setTimerMode(mode);
    if (m_state == TimerState::idle || m_state == TimerState::done)
        resetToConfigured();
    if (differs)
        emit modeChanged();
    notifySubtitle();
}

QString TimerEngine::displayText() const {
    return formatSeconds(m_settings.timerDisplayFormat(), roundedSeconds(m_remaining));
}

QString TimerEngine::subtitle() const {
    if (m_state == TimerState::done)
        return m_mode.kind == TimerMode::Kind::task ? QStringLiteral("끝났어요!")
                                                    : QStringLiteral("퇴근! 🎉");
    switch (m_mode.kind) {
    case TimerMode::Kind::task:
        return QStringLiteral("집중 · %1분").arg(m_mode.minutes());
    case TimerMode::Kind::workOff:
        return QStringLiteral("퇴근 ") % QString::asprintf("%02lld:%02lld",
                                                           static_cast<long long>(m_mode.hour()),
                                                           static_cast<long long>(m_mode.minute()));
    case TimerMode::Kind::workDuration:
        if (m_mode.minutes() < 1)
            return QStringLiteral("근무 %1시간").arg(m_mode.hours());
        return QStringLiteral("근무 %1시간 %2분").arg(m_mode.hours()).arg(m_mode.minutes());
    }
    return QString();
}

void TimerEngine::start() {
    if (m_state != TimerState::idle && m_state != TimerState::done)
        return;
    const QDateTime now = m_clock.now();
    const double duration = configuredDuration(m_mode, now);
    if (duration <= 0)
        return;
    setTotal(duration);
    m_endDate = now.addMSecs(std::llround(duration * 1000.0));
    setState(TimerState::running);
    tick();
}

void TimerEngine::pause() {
    if (m_state != TimerState::running || !m_endDate)
        return;
    setRemaining(std::max(secondsBetween(m_clock.now(), *m_endDate), 0.0));
    m_endDate.reset();
    stopTicker();
    setState(TimerState::paused);
}

void TimerEngine::resume() {
    if (m_state != TimerState::paused)
        return;
    m_endDate = m_clock.now().addMSecs(std::llround(m_remaining * 1000.0));
    setState(TimerState::running);
    tick();
}

void TimerEngine::toggle() {
    switch (m_state) {
    case TimerState::idle:
    case TimerState::done:
        start();
        break;
    case TimerState::running:
        pause();
        break;
    case TimerState::paused:
        resume();
        break;
    }
}

void TimerEngine::reset() {
    stopTicker();
    stopAlert();
    m_endDate.reset();
    setState(TimerState::idle);
    resetToConfigured();
}

void TimerEngine::stopAlert() {
    m_alertTicker.reset();
    setAlerting(false);
}

void TimerEngine::tick() {
    if (m_state != TimerState::running || !m_endDate)
        return;
    const double left = secondsBetween(m_clock.now(), *m_endDate);
    if (left > 0) {
        setRemaining(left);
        armTicker();
        return;
    }
    setRemaining(0);
    finish();
}

void TimerEngine::finish() {
    stopTicker();
    m_endDate.reset();
    setState(TimerState::done);
    setAlerting(true);
    beepIfWanted();
    if (onFinished)
        onFinished();
    // The repeater starts afresh from this finish; it runs until stopAlert, looking only at the
    // sound option, so turning sound off silences it at once and turning it on resumes it.
    m_alertTicker = repeatingTimer(kAlertIntervalMs);
    connect(m_alertTicker.get(), &QTimer::timeout, this, &TimerEngine::beepIfWanted);
    m_alertTicker->start();
}

void TimerEngine::beepIfWanted() {
    if (m_settings.soundOnFinish())
        m_sound.play();
}

void TimerEngine::resetToConfigured() {
    const double duration = configuredDuration(m_mode, m_clock.now());
    setTotal(duration);
    setRemaining(duration);
}

void TimerEngine::armTicker() {
    if (!m_ticker) {
        m_ticker = std::make_unique<QTimer>();
        m_ticker->setTimerType(Qt::PreciseTimer);
        m_ticker->setSingleShot(true);
        connect(m_ticker.get(), &QTimer::timeout, this, &TimerEngine::tick);
    }
    m_ticker->start(msUntilNextChange(m_remaining));
}

int TimerEngine::msUntilNextChange(double left) const {
    // The shown whole seconds change when the time left falls below half a second past the
    // next value (halves round up); a format without seconds changes only when the text does.
    const TimerDisplayFormat format = m_settings.timerDisplayFormat();
    const std::int64_t shown = roundedSeconds(left);
    const QString text = formatSeconds(format, shown);
    std::int64_t next = shown - 1;
    while (next >= 0 && shown - next < 60 && formatSeconds(format, next) == text)
        --next;
    const double changesAt = next >= 0 ? double(next) + 0.5 : 0.0;
    // A millisecond past the instant, so the tick sees the new value; never longer than the
    // cap, so a jumping clock or a suspended machine is caught up.
    const double ms = std::round((left - changesAt) * 1000.0) + 1.0;
    return int(std::clamp(ms, 1.0, double(kLongestTickMs)));
}

void TimerEngine::stopTicker() {
    m_ticker.reset();
}

void TimerEngine::setState(TimerState state) {
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged();
    notifySubtitle();
}

void TimerEngine::setRemaining(double seconds) {
    if (seconds == m_remaining)
        return;
    m_remaining = seconds;
    emit remainingChanged();
    notifyDisplayText();
}

void TimerEngine::setTotal(double seconds) {
    if (seconds == m_total)
        return;
    m_total = seconds;
    emit totalChanged();
}

void TimerEngine::setAlerting(bool alerting) {
    if (alerting == m_isAlerting)
        return;
    m_isAlerting = alerting;
    emit isAlertingChanged();
}

void TimerEngine::notifyDisplayText() {
    // Whole minutes stay the same text for a minute: only a new text is a change.
    const std::int64_t seconds = roundedSeconds(m_remaining);
    const TimerDisplayFormat format = m_settings.timerDisplayFormat();
    if (seconds == m_shownSeconds && format == m_shownFormat)
        return;
    m_shownSeconds = seconds;
    m_shownFormat = format;
    QString text = formatSeconds(format, seconds);
    if (text == m_shownText)
        return;
    m_shownText = std::move(text);
    emit displayTextChanged();
}

void TimerEngine::notifySubtitle() {
    QString text = subtitle();
    if (text == m_shownSubtitle)
        return;
    m_shownSubtitle = std::move(text);
    emit subtitleChanged();
}
