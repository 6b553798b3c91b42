#pragma once

#include "platform/alert_sound.h"
#include "platform/clock.h"
#include "settings/settings.h"
#include "timing/timer_mode.h"
#include "timing/timer_state.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

// The countdown. The remaining time is derived from a stored end date on every tick, so late or
// skipped ticks never make it drift. It ticks when the shown text changes: a single-shot timer
// is armed for the instant the next shown second (or minute) begins, or the end, and at most a
// second ahead, so a wall clock that jumps or a machine that slept is caught up within a second
// (and at once, where the caller ticks on such a change). At zero it enters `done`, raises the
// alert, beeps (when the user wants sound), calls onFinished and repeats the beep every 4 s until
// stopAlert or reset.
class TimerEngine : public QObject {
    Q_OBJECT
    Q_PROPERTY(TimerState state READ state NOTIFY stateChanged)
    Q_PROPERTY(double remaining READ remaining NOTIFY remainingChanged)
    Q_PROPERTY(double total READ total NOTIFY totalChanged)
    Q_PROPERTY(bool isAlerting READ isAlerting NOTIFY isAlertingChanged)
    Q_PROPERTY(TimerMode mode READ mode WRITE setMode NOTIFY modeChanged)
    Q_PROPERTY(QString displayText READ displayText NOTIFY displayTextChanged)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY subtitleChanged)

public:
    // The longest wait between two ticks while running.
    static constexpr int kLongestTickMs = 1000;
    static constexpr int kAlertIntervalMs = 4000;

    TimerEngine(Settings& settings, const Clock& clock, AlertSound& sound,
                QObject* parent = nullptr);
    ~TimerEngine() override;

    static TimerEngine& shared();

    TimerState state() const { return m_state; }
    double remaining() const { return m_remaining; }
    double total() const { return m_total; }
    bool isAlerting() const { return m_isAlerting; }
    TimerMode mode() const { return m_mode; }
    // Present only while running.
    std::optional<QDateTime> endDate() const { return m_endDate; }

    // Stores the goal; an idle or finished countdown shows the new duration at once, a running
    // or paused one keeps going and the goal applies from the next start or reset.
    void setMode(const TimerMode& mode);

    // The remaining time in the chosen format, rounded to whole seconds (halves up).
    QString displayText() const;
    // One line describing the goal, or the finished state.
    QString subtitle() const;

    // From idle or done only. Keeps a sounding alert sounding.
    void start();
    // From running only.
    void pause();
    // From paused only.
    void resume();
    // The one action for a start/pause control: starts an idle or finished countdown, pauses
    // a running one, resumes a paused one.
    void toggle();
    // From any state back to idle at the configured duration; stops the alert.
    void reset();
    // Acknowledges the alert; the state stays as it is.
    void stopAlert();
    // Recomputes the remaining time from the end date, finishing at zero, and arms the next
    // tick. Also for when the wall clock jumped or the machine woke up.
    void tick();

    // The tick source, armed only while running (its interval is the wait for the next change);
    // the 4 s alert repeater, present while alerting. Exposed so tests can fire them.
    QTimer* ticker() const { return m_ticker.get(); }
    QTimer* alertTicker() const { return m_alertTicker.get(); }

    // Called once per finished countdown, after the state, the alert and the first beep.
    std::function<void()> onFinished;

signals:
    void stateChanged();
    void remainingChanged();
    void totalChanged();
    void isAlertingChanged();
    void modeChanged();
    void displayTextChanged();
    void subtitleChanged();

private:
    void finish();
    void resetToConfigured();
    void armTicker();
    void stopTicker();
    // Milliseconds from now until the shown text next changes or the countdown ends.
    int msUntilNextChange(double left) const;
    void beepIfWanted();

    void setState(TimerState state);
    void setRemaining(double seconds);
    void setTotal(double seconds);
    void setAlerting(bool alerting);
    void notifyDisplayText();
    void notifySubtitle();

    Settings& m_settings;
    const Clock& m_clock;
    AlertSound& m_sound;

    TimerState m_state = TimerState::idle;
    double m_remaining = 0.0;
    double m_total = 0.0;
    bool m_isAlerting = false;
    TimerMode m_mode = TimerMode::defaultMode();
    std::optional<QDateTime> m_endDate;
    std::unique_ptr<QTimer> m_ticker;
    std::unique_ptr<QTimer> m_alertTicker;

    // What observers last saw, so the texts notify only on a real change.
    std::int64_t m_shownSeconds = 0;
    TimerDisplayFormat m_shownFormat = TimerDisplayFormat::automatic;
    QString m_shownText;
    QString m_shownSubtitle;
};
