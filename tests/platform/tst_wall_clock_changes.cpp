#include "platform/wall_clock_changes.h"

#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <ctime>

// The wall clock set (here: to the time it already shows, a jump of a few microseconds, which
// counts as a change as much as a jump of an hour) is told once per change, and only then.
class WallClockChangesTest : public QObject {
    Q_OBJECT

    static bool setClockToItself() {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        return clock_settime(CLOCK_REALTIME, &now) == 0;
    }

private slots:
    void aSetClockIsToldEachTime() {
        WallClockChanges changes;
        QVERIFY(changes.isWatching());
        QSignalSpy told(&changes, &WallClockChanges::changed);
        QTest::qWait(100);
        QCOMPARE(told.count(), 0);
        if (!setClockToItself())
            QSKIP("setting the clock is not allowed here (needs CAP_SYS_TIME)");
        QTRY_COMPARE(told.count(), 1);
        QVERIFY(setClockToItself());
        QTRY_COMPARE(told.count(), 2);
        QTest::qWait(100);
        QCOMPARE(told.count(), 2);
    }
};

QTEST_GUILESS_MAIN(WallClockChangesTest)
#include "tst_wall_clock_changes.moc"
