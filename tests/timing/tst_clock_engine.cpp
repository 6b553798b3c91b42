#include "fake_clock.h"
#include "temp_store.h"
#include "timing/clock_engine.h"
#include "timing/clock_region.h"

#include <QSignalSpy>
#include <QTest>

#include <ctime>
#include <set>

class ClockEngineTest : public QObject {
    Q_OBJECT

    struct Fixture {
        TempStore temp;
        Settings settings{temp.open()};
        FakeClock clock;
        ClockEngine engine{settings, clock};

        QString shownAt(const QDateTime& instant) {
            clock.set(instant);
            engine.refresh();
            return engine.displayText();
        }
    };

    // The device's zone for one test; the tests' own (UTC) comes back when it goes, also after
    // a failed comparison.
    struct DeviceZone {
        explicit DeviceZone(const QByteArray& id) { set(id); }
        ~DeviceZone() { set("UTC"); }
        static void set(const QByteArray& id) {
            qputenv("TZ", id);
            tzset();
        }
    };

private slots:
    void displayText_data() {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("use24");
        QTest::addColumn<bool>("seconds");
        QTest::addColumn<bool>("ampm");
        QTest::addColumn<QString>("text");
        QTest::newRow("12h 00:30") << QTime(0, 30) << false << false << true << "12:30 AM";
        QTest::newRow("12h 12:05") << QTime(12, 5) << false << false << true << "12:05 PM";
        QTest::newRow("12h 13:07:09 s") << QTime(13, 7, 9) << false << true << true << "1:07:09 PM";
        QTest::newRow("12h 11:59:59 s")
            << QTime(11, 59, 59) << false << true << true << "11:59:59 AM";
        QTest::newRow("12h no ampm") << QTime(13, 7, 9) << false << false << false << "1:07";
        QTest::newRow("12h no ampm s") << QTime(0, 0, 5) << false << true << false << "12:00:05";
        QTest::newRow("24h 00:30") << QTime(0, 30) << true << false << true << "00:30";
        QTest::newRow("24h 12:05") << QTime(12, 5) << true << false << false << "12:05";
        QTest::newRow("24h 13:07:09") << QTime(13, 7, 9) << true << true << true << "13:07:09";
        QTest::newRow("24h 09:03:04") << QTime(9, 3, 4) << true << true << false << "09:03:04";
    }
    void displayText() {
        QFETCH(QTime, time);
        QFETCH(bool, use24);
        QFETCH(bool, seconds);
        QFETCH(bool, ampm);
        QFETCH(QString, text);
        Fixture f;
        f.settings.setClockTimeZoneID(QStringLiteral("UTC"));
        f.settings.setClockUse24Hour(use24);
        f.settings.setClockShowSeconds(seconds);
        f.settings.setClockShowAMPM(ampm);
        QCOMPARE(f.shownAt(QDateTime(QDate(2026, 1, 15), time, Qt::UTC)), text);
    }

    void zones_data() {
        QTest::addColumn<QString>("zoneID");
        QTest::addColumn<QString>("text");
        // 2026-07-01 12:00 UTC
        QTest::newRow("Seoul") << "Asia/Seoul"
                               << "21:00";
        QTest::newRow("Kolkata") << "Asia/Kolkata"
                                 << "17:30";
        QTest::newRow("New York in summer") << "America/New_York"
                                            << "08:00";
        QTest::newRow("unknown zone uses the device zone") << "Mars/Olympus_Mons"
                                                           << "14:00";
        QTest::newRow("empty id uses the device zone") << ""
                                                       << "14:00";
    }
    void zones() {
        QFETCH(QString, zoneID);
        QFETCH(QString, text);
        const DeviceZone berlin("Europe/Berlin");
        Fixture f;
        f.settings.setClockTimeZoneID(zoneID);
        QCOMPARE(f.shownAt(QDateTime(QDate(2026, 7, 1), QTime(12, 0), Qt::UTC)), text);
        f.settings.setClockTimeZoneID(std::nullopt);
        QCOMPARE(f.engine.displayText(), QStringLiteral("14:00"));
    }

    // The time of a minute is worked out at its start and the seconds are added: a change of
    // the zone's offset still shows at its very second, in a chosen zone and in the device's.
    void followsOffsetChangesAtTheirSecond_data() {
        QTest::addColumn<QString>("deviceZone");
        QTest::addColumn<QString>("chosenZone");
        QTest::addColumn<QDateTime>("change");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const QDateTime berlinSpring(QDate(2026, 3, 29), QTime(1, 0), Qt::UTC);
        const QDateTime berlinAutumn(QDate(2026, 10, 25), QTime(1, 0), Qt::UTC);
        const QDateTime lordHowe(QDate(2026, 4, 4), QTime(15, 0), Qt::UTC); // half an hour back
        QTest::newRow("chosen, spring") << "UTC"
                                        << "Europe/Berlin" << berlinSpring << "01:59:59"
                                        << "03:00:00";
        QTest::newRow("chosen, autumn") << "UTC"
                                        << "Europe/Berlin" << berlinAutumn << "02:59:59"
                                        << "02:00:00";
        QTest::newRow("chosen, 30 min") << "UTC"
                                        << "Australia/Lord_Howe" << lordHowe << "01:59:59"
                                        << "01:30:00";
        QTest::newRow("device, spring") << "Europe/Berlin"
                                        << "" << berlinSpring << "01:59:59"
                                        << "03:00:00";
        QTest::newRow("device, 30 min") << "Australia/Lord_Howe"
                                        << "" << lordHowe << "01:59:59"
                                        << "01:30:00";
    }
    void followsOffsetChangesAtTheirSecond() {
        QFETCH(QString, deviceZone);
        QFETCH(QString, chosenZone);
        QFETCH(QDateTime, change);
        QFETCH(QString, before);
        QFETCH(QString, after);
        const DeviceZone device(deviceZone.toUtf8());
        Fixture f;
        f.settings.setClockTimeZoneID(chosenZone);
        f.settings.setClockUse24Hour(true);
        f.settings.setClockShowSeconds(true);
        QCOMPARE(f.shownAt(change.addSecs(-1)), before);
        QCOMPARE(f.shownAt(change.addMSecs(1)), after);
    }

    // The device's zone is asked again with each minute: a change of it (the user moved) shows
    // with the next minute.
    void followsTheDeviceZoneFromTheNextMinute() {
        const DeviceZone berlin("Europe/Berlin");
        Fixture f;
        f.settings.setClockUse24Hour(true);
        f.settings.setClockShowSeconds(true);
        const QDateTime start(QDate(2026, 7, 1), QTime(12, 0, 58, 100), Qt::UTC);
        QCOMPARE(f.shownAt(start), QStringLiteral("14:00:58"));
        DeviceZone::set("Asia/Seoul");
        QCOMPARE(f.shownAt(start.addSecs(1)), QStringLiteral("14:00:59"));
        QCOMPARE(f.shownAt(start.addSecs(2)), QStringLiteral("21:01:00"));
    }

    // The refresh comes a millisecond after the shown second (or minute) begins, at most a
    // second ahead, and is worked out again when the wall clock jumps.
    void refreshesWhenTheShownTimeChanges() {
        Fixture f;
        f.settings.setClockShowSeconds(true);
        f.clock.advance(0.3);
        f.engine.refresh();
        QCOMPARE(f.engine.ticker()->interval(), 701);
        QCOMPARE(f.engine.ticker()->timerType(), Qt::PreciseTimer);
        QSignalSpy text(&f.engine, &ClockEngine::displayTextChanged);
        for (int second = 1; second <= 3; ++second) {
            f.clock.advance(f.engine.ticker()->interval() / 1000.0);
            QVERIFY(QMetaObject::invokeMethod(f.engine.ticker(), "timeout"));
            QCOMPARE(text.count(), second);
            QCOMPARE(f.engine.ticker()->interval(), 1000);
        }
        f.clock.advance(-7.25); // the wall clock set back, to 08:59:55.751
        f.engine.refresh();
        QCOMPARE(f.engine.ticker()->interval(), 250);
        // Without seconds: the text changes at once, the wait still never exceeds a second,
        // and the minute's start is met to the millisecond.
        const int before = text.count();
        f.settings.setClockShowSeconds(false);
        QCOMPARE(text.count(), before + 1);
        f.settings.setClockShowSeconds(false);
        QCOMPARE(text.count(), before + 1);
        QCOMPARE(f.engine.ticker()->interval(), 1000);
        f.clock.set(QDateTime(QDate(2026, 6, 1), QTime(9, 4, 59, 600), Qt::UTC));
        f.engine.refresh();
        QCOMPARE(f.engine.ticker()->interval(), 401);
        f.engine.stop();
        QVERIFY(!f.engine.isTicking());
    }

    void offsetLabels_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("instant");
        QTest::addColumn<QString>("label");
        const QDateTime january(QDate(2026, 1, 15), QTime(12, 0), Qt::UTC);
        const QDateTime july(QDate(2026, 7, 15), QTime(12, 0), Qt::UTC);
        QTest::newRow("Seoul") << QByteArray("Asia/Seoul") << january << "UTC+9";
        QTest::newRow("Kolkata") << QByteArray("Asia/Kolkata") << january << "UTC+5:30";
        QTest::newRow("UTC") << QByteArray("UTC") << january << "UTC+0";
        QTest::newRow("New York January") << QByteArray("America/New_York") << january << "UTC-5";
        QTest::newRow("New York July") << QByteArray("America/New_York") << july << "UTC-4";
        QTest::newRow("Newfoundland") << QByteArray("America/St_Johns") << january << "UTC-3:30";
        QTest::newRow("Kathmandu") << QByteArray("Asia/Kathmandu") << january << "UTC+5:45";
        QTest::newRow("Auckland summer") << QByteArray("Pacific/Auckland") << january << "UTC+13";
    }
    void offsetLabels() {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, instant);
        QFETCH(QString, label);
        const QTimeZone tz(zone);
        QVERIFY(tz.isValid());
        QCOMPARE(ClockRegion::offsetLabel(tz, instant), label);
    }

    void offsetLabelSecondsOnly() {
        QCOMPARE(ClockRegion::offsetLabel(59), QStringLiteral("UTC+0"));
        QCOMPARE(ClockRegion::offsetLabel(-59), QStringLiteral("UTC-0"));
        QCOMPARE(ClockRegion::offsetLabel(-(3 * 3600 + 1800)), QStringLiteral("UTC-3:30"));
    }

    void regionTable() {
        const auto& all = ClockRegion::all();
        QCOMPARE(all.size(), std::size_t(34));
        QCOMPARE(ClockRegion::groups(), (QStringList{"아시아·중동", "유럽", "북미", "남미",
                                                     "오세아니아", "아프리카", "기타"}));
        // Every id is known to the time-zone database, ids are unique, every group is listed,
        // and each group's entries stand together in table order.
        std::set<QString> ids;
        int groupIndex = 0;
        for (const ClockRegion& region : all) {
            QVERIFY2(QTimeZone(region.id.toUtf8()).isValid(), qPrintable(region.id));
            QVERIFY(ids.insert(region.id).second);
            const int index = int(ClockRegion::groups().indexOf(region.group));
            QVERIFY(index >= groupIndex);
            groupIndex = index;
        }
        QCOMPARE(groupIndex, 6);
    }
};

QTEST_GUILESS_MAIN(ClockEngineTest)
#include "tst_clock_engine.moc"
