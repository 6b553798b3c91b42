#include "fake_clock.h"
#include "recording_sound.h"
#include "temp_store.h"
#include "timing/timer_engine.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(TimerMode)

namespace {

// Fires a QTimer's timeout as the event loop would.
void fire(QTimer* timer) {
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
}

} // namespace

class TimerEngineTest : public QObject {
    Q_OBJECT

    struct Fixture {
        TempStore temp;
        Settings settings{temp.open()};
        FakeClock clock;
        RecordingSound sound;
        TimerEngine engine{settings, clock, sound};

        // Runs a one-second countdown to its end.
        void finishOneSecond() {
            engine.setMode(TimerMode::workDuration(0, 0));
            engine.start();
            clock.advance(1);
            engine.tick();
        }
    };

private slots:
    void constructionTakesTheStoredGoal() {
        TempStore temp;
        temp.seed(QStringLiteral("timerMode"),
                  QByteArray("{\"workDuration\":{\"hours\":1,\"minutes\":30}}"));
        Settings settings(temp.open());
        FakeClock clock;
        RecordingSound sound;
        TimerEngine engine(settings, clock, sound);
        QCOMPARE(engine.mode(), TimerMode::workDuration(1, 30));
        QCOMPARE(engine.state(), TimerState::idle);
        QCOMPARE(engine.total(), 5400.0);
        QCOMPARE(engine.remaining(), 5400.0);
        QVERIFY(!engine.endDate());
        QVERIFY(!engine.ticker());
    }

    void constructionWithoutGoalUsesDefaultAndWritesNothing() {
        Fixture f;
        QCOMPARE(f.engine.mode(), TimerMode::task(25));
        QCOMPARE(f.engine.total(), 1500.0);
        QVERIFY(!f.temp.readBack()->contains(QStringLiteral("timerMode")));
    }

    void configuredDurations_data() {
        QTest::addColumn<TimerMode>("mode");
        QTest::addColumn<double>("total");
        constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
        constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
        const double century = 100.0 * 365.25 * 24 * 3600;
        QTest::newRow("task 25") << TimerMode::task(25) << 1500.0;
        QTest::newRow("task 0 counts a minute") << TimerMode::task(0) << 60.0;
        QTest::newRow("task -5 counts a minute") << TimerMode::task(-5) << 60.0;
        QTest::newRow("work 0:00 counts a second") << TimerMode::workDuration(0, 0) << 1.0;
        QTest::newRow("work 9:30") << TimerMode::workDuration(9, 30) << 34200.0;
        QTest::newRow("work 2h -30m") << TimerMode::workDuration(2, -30) << 5400.0;
        QTest::newRow("work negative") << TimerMode::workDuration(-1, 0) << 1.0;
        QTest::newRow("task overflow clamps") << TimerMode::task(kMax) << century;
        QTest::newRow("work overflow clamps") << TimerMode::workDuration(kMax, kMax) << century;
        QTest::newRow("work underflow") << TimerMode::workDuration(kMin, kMin) << 1.0;
        QTest::newRow("work mixed") << TimerMode::workDuration(kMax, kMin) << century;
    }
    void configuredDurations() {
        QFETCH(TimerMode, mode);
        QFETCH(double, total);
        Fixture f;
        f.engine.setMode(mode);
        QCOMPARE(f.engine.total(), total);
        QCOMPARE(f.engine.remaining(), total);
        f.engine.start();
        QCOMPARE(f.engine.state(), TimerState::running);
        QCOMPARE(f.engine.remaining(), total);
        QCOMPARE(f.engine.endDate()->toMSecsSinceEpoch() - f.clock.now().toMSecsSinceEpoch(),
                 qint64(total * 1000));
    }

    void runsAndFinishes() {
        Fixture f;
        int finishedCalls = 0;
        f.engine.onFinished = [&] {
            ++finishedCalls;
            // The hook runs after the state, the alert and the first beep are set.
            QCOMPARE(f.engine.state(), TimerState::done);
            QVERIFY(f.engine.isAlerting());
            QCOMPARE(f.sound.plays, 1);
        };
        f.engine.setMode(TimerMode::task(1));
        f.engine.start();
        QCOMPARE(f.engine.ticker()->timerType(), Qt::PreciseTimer);
        f.clock.advance(20.25);
        fire(f.engine.ticker());
        QCOMPARE(f.engine.remaining(), 39.75);
        QCOMPARE(f.engine.displayText(), QStringLiteral("00:40"));
        f.clock.advance(39.75);
        fire(f.engine.ticker());
        QCOMPARE(f.engine.state(), TimerState::done);
        QCOMPARE(f.engine.remaining(), 0.0);
        QCOMPARE(f.engine.subtitle(), QStringLiteral("끝났어요!"));
        QVERIFY(!f.engine.ticker());
        QVERIFY(!f.engine.endDate());
        QCOMPARE(finishedCalls, 1);
        QCOMPARE(f.engine.alertTicker()->interval(), 4000);
    }

    // The tick comes when the shown text changes: a millisecond after the instant, never a
    // tick that changes nothing but for the one-second cap, and the wait is worked out again
    // after a pause, a jump of the wall clock either way and a long sleep.
    void ticksWhenTheShownTextChanges_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("changesSeen");
        QTest::addColumn<int>("ticks"); // to see them, from a start at 09:00:00.137
        QTest::newRow("m:ss") << "auto" << 1 << 5 << 5;
        QTest::newRow("12 s") << "secondsWithUnit" << 1 << 5 << 5;
        // Whole minutes: the text changes 30.5 s in, after 30 capped ticks, then each minute.
        QTest::newRow("25m") << "minutesWithUnit" << 25 << 2 << 31 + 60;
        QTest::newRow("h:mm") << "noSeconds" << 25 << 2 << 31 + 60;
    }
    void ticksWhenTheShownTextChanges() {
        QFETCH(QString, format);
        QFETCH(int, minutes);
        QFETCH(int, changesSeen);
        QFETCH(int, ticks);
        Fixture f;
        const auto chosen = fromRawValue<TimerDisplayFormat>(format);
        QVERIFY(chosen);
        f.settings.setTimerDisplayFormat(*chosen);
        f.clock.advance(0.137);
        f.engine.setMode(TimerMode::task(minutes));
        f.engine.start();
        QSignalSpy changes(&f.engine, &TimerEngine::displayTextChanged);
        for (int i = 0; i < ticks; ++i) {
            const int wait = f.engine.ticker()->interval();
            QVERIFY(f.engine.ticker()->isActive());
            QVERIFY(wait >= 1 && wait <= TimerEngine::kLongestTickMs);
            // A millisecond earlier the text is the old one: the tick is not late.
            const QString before = f.engine.displayText();
            f.clock.advance((wait - 1) / 1000.0);
            f.engine.tick();
            QCOMPARE(f.engine.displayText(), before);
            f.clock.set(f.clock.now().addMSecs(1));
            const int seen = changes.count();
            fire(f.engine.ticker());
            QVERIFY(changes.count() == seen + 1 || wait == TimerEngine::kLongestTickMs);
        }
        QCOMPARE(changes.count(), changesSeen);
    }

    void theWaitFollowsPausesJumpsAndSleep() {
        Fixture f;
        f.engine.setMode(TimerMode::task(1));
        f.engine.start();
        QCOMPARE(f.engine.ticker()->interval(), 501); // 60 → 59 when under 59.5 s are left
        f.clock.advance(0.8);
        f.engine.tick();
        QCOMPARE(f.engine.ticker()->interval(), 701); // 59.2 s left: 58 at 58.5
        f.engine.pause();
        QVERIFY(!f.engine.ticker());
        f.clock.advance(10);
        f.engine.resume();
        QCOMPARE(f.engine.ticker()->interval(), 701);
        // The wall clock jumps forward 20.3 s, then back 40 s.
        f.clock.advance(20.3);
        f.engine.tick();
        QCOMPARE(f.engine.displayText(), QStringLiteral("00:39"));
        QCOMPARE(f.engine.ticker()->interval(), 401);
        f.clock.advance(-40);
        f.engine.tick();
        QCOMPARE(f.engine.displayText(), QStringLiteral("01:19"));
        QCOMPARE(f.engine.ticker()->interval(), 401);
        // A change of format moves the next tick.
        f.settings.setTimerDisplayFormat(TimerDisplayFormat::minutesWithUnit);
        QCOMPARE(f.engine.ticker()->interval(), TimerEngine::kLongestTickMs);
        // Woken an hour later: finished at the first tick.
        f.clock.advance(3600);
        fire(f.engine.ticker());
        QCOMPARE(f.engine.state(), TimerState::done);
        QVERIFY(!f.engine.ticker());
    }

    void alertRepeatsUntilStopped() {
        Fixture f;
        f.finishOneSecond();
        QCOMPARE(f.sound.plays, 1);
        fire(f.engine.alertTicker());
        fire(f.engine.alertTicker());
        QCOMPARE(f.sound.plays, 3);
        // Turning sound off silences the repeats at once; turning it on resumes them.
        f.settings.setSoundOnFinish(false);
        fire(f.engine.alertTicker());
        QCOMPARE(f.sound.plays, 3);
        f.settings.setSoundOnFinish(true);
        fire(f.engine.alertTicker());
        QCOMPARE(f.sound.plays, 4);
        f.engine.stopAlert();
        QVERIFY(!f.engine.alertTicker());
        QVERIFY(!f.engine.isAlerting());
        QCOMPARE(f.engine.state(), TimerState::done);
    }

    void finishingWithSoundOffStillAlerts() {
        Fixture f;
        f.settings.setSoundOnFinish(false);
        f.finishOneSecond();
        QVERIFY(f.engine.isAlerting());
        QVERIFY(f.engine.alertTicker());
        fire(f.engine.alertTicker());
        QCOMPARE(f.sound.plays, 0);
    }

    void restartFromDoneKeepsAlertThenRestartsRepeater() {
        Fixture f;
        f.finishOneSecond();
        QTimer* firstRepeater = f.engine.alertTicker();
        QVERIFY(firstRepeater);
        f.engine.start();
        QCOMPARE(f.engine.state(), TimerState::running);
        QVERIFY(f.engine.isAlerting());
        fire(f.engine.alertTicker());
        QCOMPARE(f.sound.plays, 2);
        f.clock.advance(1);
        f.engine.tick();
        QCOMPARE(f.sound.plays, 3);
        QVERIFY(f.engine.alertTicker()->isActive());
        f.engine.stopAlert();
        QVERIFY(!f.engine.alertTicker());
    }

    void pauseFreezesFractionalRemaining() {
        Fixture f;
        f.engine.setMode(TimerMode::task(1));
        f.engine.start();
        f.clock.advance(49.4);
        f.engine.pause();
        QCOMPARE(f.engine.state(), TimerState::paused);
        QCOMPARE(f.engine.remaining(), 10.6);
        QCOMPARE(f.engine.displayText(), QStringLiteral("00:11"));
        QVERIFY(!f.engine.ticker());
        QVERIFY(!f.engine.endDate());
        f.clock.advance(600);
        f.engine.tick(); // ignored while paused
        QCOMPARE(f.engine.remaining(), 10.6);
        f.engine.resume();
        QCOMPARE(f.engine.state(), TimerState::running);
        QCOMPARE(f.engine.remaining(), 10.6);
        f.clock.advance(10.5);
        f.engine.tick();
        QVERIFY(qAbs(f.engine.remaining() - 0.1) < 1e-9);
    }

    // Commands that do not apply in the current state change nothing.
    void ignoredCommands() {
        Fixture f;
        QSignalSpy stateSpy(&f.engine, &TimerEngine::stateChanged);
        f.engine.pause();
        f.engine.resume();
        f.engine.stopAlert();
        QCOMPARE(stateSpy.count(), 0);
        f.engine.start();
        f.engine.start(); // running
        f.engine.resume();
        f.engine.pause();
        QCOMPARE(f.engine.state(), TimerState::paused);
        f.engine.start(); // paused: the menu offers resume instead
        f.engine.pause();
        QCOMPARE(f.engine.state(), TimerState::paused);
        QCOMPARE(stateSpy.count(), 2);
    }

    void resetReturnsToIdleAndStopsTheAlert() {
        Fixture f;
        f.finishOneSecond();
        QVERIFY(f.engine.isAlerting());
        f.engine.setMode(TimerMode::task(3)); // done: shows the new duration at once
        QCOMPARE(f.engine.remaining(), 180.0);
        f.engine.reset();
        QCOMPARE(f.engine.state(), TimerState::idle);
        QVERIFY(!f.engine.isAlerting());
        QVERIFY(!f.engine.alertTicker());
        QCOMPARE(f.engine.total(), 180.0);
        QCOMPARE(f.engine.subtitle(), QStringLiteral("집중 · 3분"));
    }

    void modeChangeWhileRunningAppliesLater() {
        Fixture f;
        f.engine.start();
        f.clock.advance(100);
        f.engine.tick();
        f.engine.setMode(TimerMode::task(5));
        QCOMPARE(f.engine.state(), TimerState::running);
        QCOMPARE(f.engine.total(), 1500.0);
        QCOMPARE(f.engine.remaining(), 1400.0);
        QCOMPARE(f.temp.readBack()->value(QStringLiteral("timerMode")).toByteArray(),
                 QByteArray("{\"task\":{\"minutes\":5}}"));
        f.engine.pause();
        f.engine.setMode(TimerMode::task(7));
        QCOMPARE(f.engine.remaining(), 1400.0);
        f.engine.reset();
        QCOMPARE(f.engine.total(), 420.0);
    }

    void idleWorkOffIsNotRefreshed() {
        Fixture f;
        f.clock.set(QDateTime(QDate(2026, 6, 1), QTime(17, 0), Qt::UTC));
        f.engine.setMode(TimerMode::workOff(18, 0));
        QCOMPARE(f.engine.remaining(), 3600.0);
        f.clock.advance(600);
        QCOMPARE(f.engine.remaining(), 3600.0);
        f.engine.tick();
        QCOMPARE(f.engine.remaining(), 3600.0);
        QVERIFY(!f.engine.ticker());
    }

    void subtitles_data() {
        QTest::addColumn<TimerMode>("mode");
        QTest::addColumn<QString>("idle");
        QTest::addColumn<QString>("done");
        QTest::newRow("task") << TimerMode::task(25) << QStringLiteral("집중 · 25분")
                              << QStringLiteral("끝났어요!");
        QTest::newRow("workOff") << TimerMode::workOff(18, 0) << QStringLiteral("퇴근 18:00")
                                 << QStringLiteral("퇴근! 🎉");
        QTest::newRow("workOff padded") << TimerMode::workOff(7, 5) << QStringLiteral("퇴근 07:05")
                                        << QStringLiteral("퇴근! 🎉");
        QTest::newRow("work hours") << TimerMode::workDuration(9, 0) << QStringLiteral("근무 9시간")
                                    << QStringLiteral("퇴근! 🎉");
        QTest::newRow("work minutes")
            << TimerMode::workDuration(9, 30) << QStringLiteral("근무 9시간 30분")
            << QStringLiteral("퇴근! 🎉");
        QTest::newRow("work negative minutes")
            << TimerMode::workDuration(1, -5) << QStringLiteral("근무 1시간")
            << QStringLiteral("퇴근! 🎉");
    }
    void subtitles() {
        QFETCH(TimerMode, mode);
        QFETCH(QString, idle);
        QFETCH(QString, done);
        Fixture f;
        f.clock.set(QDateTime(QDate(2026, 6, 1), QTime(17, 59, 59), Qt::LocalTime));
        f.engine.setMode(mode);
        QCOMPARE(f.engine.subtitle(), idle);
        QSignalSpy spy(&f.engine, &TimerEngine::subtitleChanged);
        f.engine.start();
        f.clock.advance(1e6);
        f.engine.tick();
        QCOMPARE(f.engine.subtitle(), done);
        QCOMPARE(spy.count(), 1);
    }

    // Observers are told only of real changes; the display text changes once a second even
    // though the remaining time changes on every tick.
    void notifiesOnlyRealChanges() {
        Fixture f;
        QSignalSpy remaining(&f.engine, &TimerEngine::remainingChanged);
        QSignalSpy text(&f.engine, &TimerEngine::displayTextChanged);
        QSignalSpy mode(&f.engine, &TimerEngine::modeChanged);
        f.engine.setMode(TimerMode::task(25));
        QCOMPARE(mode.count(), 0);
        QCOMPARE(remaining.count(), 0);
        f.engine.start();
        QCOMPARE(text.count(), 0);
        for (int i = 0; i < 8; ++i) {
            f.clock.advance(0.25);
            f.engine.tick();
        }
        QCOMPARE(remaining.count(), 8);
        QCOMPARE(text.count(), 2); // 1500 -> 1499.75 still shows 25:00; then 24:59 and 24:58
        f.settings.setTimerDisplayFormat(TimerDisplayFormat::secondsWithUnit);
        QCOMPARE(text.count(), 3);
        QCOMPARE(f.engine.displayText(), QStringLiteral("1498s"));
        f.settings.setTimerDisplayFormat(TimerDisplayFormat::secondsWithUnit);
        QCOMPARE(text.count(), 3);
    }
};

QTEST_GUILESS_MAIN(TimerEngineTest)
#include "tst_timer_engine.moc"
