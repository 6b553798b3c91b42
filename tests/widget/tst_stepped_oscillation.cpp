#include "widget/stepped_oscillation.h"

#include <QTest>

#include <cmath>
#include <numbers>

// The pulse's frames: only where the level changes, each one a new level, never further than
// half a step from the smooth ease-in-out, and back to the start after every period.
class SteppedOscillationTest : public QObject {
    Q_OBJECT

private slots:
    void framesComeOnlyWhereTheLevelChanges_data() {
        QTest::addColumn<int>("steps");
        QTest::addColumn<double>("halfPeriod");
        QTest::newRow("6 steps, 0.5 s") << 6 << 0.5;
        QTest::newRow("1 step") << 1 << 0.5;
        QTest::newRow("12 steps, 2 s") << 12 << 2.0;
    }
    void framesComeOnlyWhereTheLevelChanges() {
        QFETCH(int, steps);
        QFETCH(double, halfPeriod);
        const double from = 1.0, to = 0.45;
        const SteppedOscillation pulse(from, to, halfPeriod, steps);
        QCOMPARE(pulse.framesPerPeriod(), 2 * steps);
        QCOMPARE(pulse.valueAt(0), from);
        QCOMPARE(pulse.valueAt(halfPeriod), to);

        // Three periods, frame by frame, looked at every 0.1 ms in between.
        double t = 0;
        int frames = 0;
        const double halfStep = (from - to) / (2.0 * steps);
        while (t < 3 * pulse.period()) {
            const double shown = pulse.valueAt(t);
            const double wait = pulse.secondsToNextChange(t);
            QVERIFY(wait > 0);
            for (double u = t; u < t + wait - 1e-6; u += 1e-4) {
                QCOMPARE(pulse.valueAt(u), shown);
                const double smooth =
                    from +
                    (to - from) * (1 - std::cos(2 * std::numbers::pi * u / pulse.period())) / 2;
                QVERIFY(std::abs(pulse.valueAt(u) - smooth) <= halfStep + 1e-9);
            }
            t += wait + 1e-6;
            QVERIFY(pulse.valueAt(t) != shown);
            frames += t < 3 * pulse.period() ? 1 : 0;
        }
        QCOMPARE(frames, 3 * 2 * steps);
    }
};

QTEST_APPLESS_MAIN(SteppedOscillationTest)
#include "tst_stepped_oscillation.moc"
