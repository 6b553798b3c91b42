#include "settings_window/goal_draft.h"

#include <QTest>

#include <ctime>

using Category = GoalDraft::Category;
using OffKind = GoalDraft::OffKind;
Q_DECLARE_METATYPE(TimerMode)
Q_DECLARE_METATYPE(Category)
Q_DECLARE_METATYPE(OffKind)

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
}

void useZone(const QByteArray& zone) {
    qputenv("TZ", zone);
    tzset();
}

// Zones whose clock changes fall on the leave-work default, written as POSIX rules: UTC-3,
// with half an hour of summer time from 17:45 on 8 March 2026 (18:00 is skipped), and an hour
// of summer time that ends at 19:00 on 1 November 2026 (18:00 happens twice).
const QByteArray kSkipsSix = "XST3XDT2:30,M3.2.0/17:45,M11.1.0/2";
const QByteArray kRepeatsSix = "XST3XDT,M3.2.0/2,M11.1.0/19";

} // namespace

// The pending goal of the settings window, without any widget.
class GoalDraftTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { useZone("UTC"); }

    // The leave-work time of a fresh draft is 18:00 today, also on days when the clocks skip
    // or repeat it.
    void freshDraftLeavesAtSix_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("offTime");
        QTest::newRow("Seoul") << QByteArray("Asia/Seoul") << utc(2026, 6, 1, 0, 0)
                               << utc(2026, 6, 1, 9, 0);
        QTest::newRow("Seoul late evening is still today")
            << QByteArray("Asia/Seoul") << utc(2026, 6, 1, 14, 30) << utc(2026, 6, 1, 9, 0);
        QTest::newRow("skipped: the next valid time, 18:15")
            << kSkipsSix << utc(2026, 3, 8, 12, 0) << utc(2026, 3, 8, 20, 45);
        QTest::newRow("repeated: the first occurrence")
            << kRepeatsSix << utc(2026, 11, 1, 12, 0) << utc(2026, 11, 1, 20, 0);
        QTest::newRow("repeated, asked during the second pass")
            << kRepeatsSix << utc(2026, 11, 1, 21, 30) << utc(2026, 11, 1, 20, 0);
    }
    void freshDraftLeavesAtSix() {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, offTime);
        useZone(zone);
        const GoalDraft draft(now);
        QCOMPARE(draft.offTime.toUTC(), offTime);
        QCOMPARE(draft.category, Category::focus);
        QCOMPARE(draft.offKind, OffKind::duration);
        QCOMPARE(draft.minutes, 25);
        QCOMPARE(draft.workHours, 9);
        QCOMPARE(draft.workMinutes, 0);
        // Applied as it stands, the time reads back as the wall-clock time it was built from.
        GoalDraft commute = draft;
        commute.category = Category::commute;
        commute.offKind = OffKind::clock;
        const QTime wall = offTime.toLocalTime().time();
        QCOMPARE(commute.goal(), TimerMode::workOff(wall.hour(), wall.minute()));
    }

    void todayAt_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("expected"); // invalid: none
        QTest::newRow("NY skipped 02:30 is 03:00")
            << QByteArray("America/New_York") << 2 << 30 << utc(2026, 3, 8, 12, 0)
            << utc(2026, 3, 8, 7, 0);
        QTest::newRow("NY repeated 01:30 is the first")
            << QByteArray("America/New_York") << 1 << 30 << utc(2026, 11, 1, 12, 0)
            << utc(2026, 11, 1, 5, 30);
        QTest::newRow("hour 24 cannot be formed")
            << QByteArray("UTC") << 24 << 0 << utc(2026, 6, 1, 0, 0) << QDateTime();
        QTest::newRow("minute -1 cannot be formed")
            << QByteArray("UTC") << 7 << -1 << utc(2026, 6, 1, 0, 0) << QDateTime();
        QTest::newRow("no valid now") << QByteArray("UTC") << 7 << 0 << QDateTime() << QDateTime();
    }
    void todayAt() {
        QFETCH(QByteArray, zone);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, expected);
        useZone(zone);
        const std::optional<QDateTime> got = GoalDraft::todayAt(hour, minute, now);
        QCOMPARE(got.has_value(), expected.isValid());
        if (got)
            QCOMPARE(got->toUTC(), expected);
    }

    // Loading takes the engine's kind and fields; the fields of the other kinds keep their
    // values, so the window still shows the last commute goal while a focus goal runs.
    void loadKeepsTheOtherKinds_data() {
        QTest::addColumn<TimerMode>("goal");
        QTest::addColumn<Category>("category");
        QTest::addColumn<OffKind>("offKind");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QTime>("offTime");
        QTest::addColumn<int>("workHours");
        QTest::addColumn<int>("workMinutes");
        QTest::newRow("focus 45") << TimerMode::task(45) << Category::focus << OffKind::duration
                                  << 45 << QTime(18, 0) << 9 << 0;
        QTest::newRow("leave at 07:30") << TimerMode::workOff(7, 30) << Category::commute
                                        << OffKind::clock << 25 << QTime(7, 30) << 9 << 0;
        QTest::newRow("leave at 25:00 keeps 18:00")
            << TimerMode::workOff(25, 0) << Category::commute << OffKind::clock << 25
            << QTime(18, 0) << 9 << 0;
        QTest::newRow("work 8:45") << TimerMode::workDuration(8, 45) << Category::commute
                                   << OffKind::duration << 25 << QTime(18, 0) << 8 << 45;
        QTest::newRow("a hand-edited 1000 minutes passes unchanged")
            << TimerMode::task(1000) << Category::focus << OffKind::duration << 1000 << QTime(18, 0)
            << 9 << 0;
    }
    void loadKeepsTheOtherKinds() {
        QFETCH(TimerMode, goal);
        QFETCH(Category, category);
        QFETCH(OffKind, offKind);
        QFETCH(int, minutes);
        QFETCH(QTime, offTime);
        QFETCH(int, workHours);
        QFETCH(int, workMinutes);
        useZone("Asia/Seoul");
        const QDateTime now = utc(2026, 6, 1, 0, 0);
        GoalDraft draft(now);
        draft.loadFrom(goal, now);
        QCOMPARE(draft.category, category);
        QCOMPARE(draft.offKind, offKind);
        QCOMPARE(draft.minutes, minutes);
        QCOMPARE(draft.offTime.toLocalTime().time(), offTime);
        QCOMPARE(draft.workHours, workHours);
        QCOMPARE(draft.workMinutes, workMinutes);
        QCOMPARE(draft.goal(), goal.kind == TimerMode::Kind::workOff && goal.hour() > 23
                                   ? TimerMode::workOff(18, 0)
                                   : goal);
    }
};

QTEST_GUILESS_MAIN(GoalDraftTest)
#include "tst_goal_draft.moc"
