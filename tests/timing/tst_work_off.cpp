#include "timing/timer_duration.h"

#include <QTest>

#include <ctime>

// The leave-work countdown uses calendar-day arithmetic in the local zone, so it must keep the
// wall-clock time across daylight-saving changes, and cope with times that do not exist or that
// occur twice on the day of a change.
class WorkOffTest : public QObject {
    Q_OBJECT

    static void useZone(const QByteArray& zone) {
        qputenv("TZ", zone);
        tzset();
    }

private slots:
    void cleanup() { useZone("UTC"); }

    void durations_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("nowUtc");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<double>("seconds");
        const auto utc = [](int y, int mo, int d, int h, int mi) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
        };
        const double hour = 3600;

        // New York: 2026-03-08 02:00 EST -> 03:00 EDT; 2026-11-01 02:00 EDT -> 01:00 EST.
        QTest::newRow("NY plain evening")
            << QByteArray("America/New_York") << utc(2026, 6, 1, 21, 0) << 18 << 0 << 1 * hour;
        QTest::newRow("NY passed, tomorrow across spring change")
            << QByteArray("America/New_York") << utc(2026, 3, 8, 1, 0) // Mar 7 20:00 EST
            << 18 << 0 << 21 * hour;
        QTest::newRow("NY passed, tomorrow across autumn change")
            << QByteArray("America/New_York") << utc(2026, 11, 1, 0, 0) // Oct 31 20:00 EDT
            << 18 << 0 << 23 * hour;
        QTest::newRow("NY skipped time moves forward by the gap")
            << QByteArray("America/New_York") << utc(2026, 3, 8, 6, 0) // Mar 8 01:00 EST
            << 2 << 30 << 1.5 * hour;
        QTest::newRow("NY skipped time tomorrow")
            << QByteArray("America/New_York") << utc(2026, 3, 7, 8, 0) // Mar 7 03:00 EST
            << 2 << 30 << 23.5 * hour;
        QTest::newRow("NY repeated time takes the first occurrence")
            << QByteArray("America/New_York") << utc(2026, 11, 1, 4, 30) // Nov 1 00:30 EDT
            << 1 << 30 << 1 * hour;
        QTest::newRow("NY repeated time after both passed")
            << QByteArray("America/New_York") << utc(2026, 11, 1, 7, 0) // 02:00 EST
            << 1 << 30 << 23.5 * hour;

        // Berlin: 2026-03-29 02:00 CET -> 03:00 CEST; 2026-10-25 03:00 CEST -> 02:00 CET.
        QTest::newRow("Berlin passed, tomorrow across spring change")
            << QByteArray("Europe/Berlin") << utc(2026, 3, 28, 19, 0) // Mar 28 20:00 CET
            << 18 << 0 << 21 * hour;
        QTest::newRow("Berlin passed, tomorrow across autumn change")
            << QByteArray("Europe/Berlin") << utc(2026, 10, 24, 18, 0) // Oct 24 20:00 CEST
            << 18 << 0 << 23 * hour;
        QTest::newRow("Berlin skipped time")
            << QByteArray("Europe/Berlin") << utc(2026, 3, 29, 0, 0) // Mar 29 01:00 CET
            << 2 << 30 << 1.5 * hour;
        QTest::newRow("Berlin repeated time")
            << QByteArray("Europe/Berlin") << utc(2026, 10, 24, 23, 0) // Oct 25 01:00 CEST
            << 2 << 30 << 1.5 * hour;

        // Exactly now counts as passed; a second past the minute too.
        QTest::newRow("exactly now is tomorrow")
            << QByteArray("UTC") << utc(2026, 6, 1, 18, 0) << 18 << 0 << 24 * hour;
        QTest::newRow("out-of-range fields carry over")
            << QByteArray("UTC") << utc(2026, 6, 1, 12, 0) << 12 << 75 << 1.25 * hour;
        QTest::newRow("hour 24 is next midnight")
            << QByteArray("UTC") << utc(2026, 6, 1, 12, 0) << 24 << 0 << 12 * hour;
        QTest::newRow("negative minute borrows")
            << QByteArray("UTC") << utc(2026, 6, 1, 12, 0) << 18 << -30 << 5.5 * hour;
    }
    void durations() {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, nowUtc);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(double, seconds);
        useZone(zone);
        QCOMPARE(configuredDuration(TimerMode::workOff(hour, minute), nowUtc), seconds);
    }

    void aSecondPastTheMinuteIsTomorrow() {
        const QDateTime now(QDate(2026, 6, 1), QTime(18, 0, 1), Qt::UTC);
        QCOMPARE(configuredDuration(TimerMode::workOff(18, 0), now), 24 * 3600.0 - 1);
    }

    void unbuildableTimesGiveZero_data() {
        QTest::addColumn<qint64>("hour");
        QTest::addColumn<qint64>("minute");
        constexpr auto kMax = std::numeric_limits<qint64>::max();
        constexpr auto kMin = std::numeric_limits<qint64>::min();
        QTest::newRow("max hour") << kMax << qint64(0);
        QTest::newRow("min hour") << kMin << qint64(0);
        QTest::newRow("max minute") << qint64(0) << kMax;
        QTest::newRow("both min") << kMin << kMin;
    }
    void unbuildableTimesGiveZero() {
        QFETCH(qint64, hour);
        QFETCH(qint64, minute);
        const QDateTime now(QDate(2026, 6, 1), QTime(12, 0), Qt::UTC);
        QCOMPARE(configuredDuration(TimerMode::workOff(hour, minute), now), 0.0);
    }
};

QTEST_APPLESS_MAIN(WorkOffTest)
#include "tst_work_off.moc"
