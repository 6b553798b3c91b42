#include "timing/time_format.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(TimerDisplayFormat)

class TimeFormatTest : public QObject {
    Q_OBJECT
private slots:
    void formats_data() {
        QTest::addColumn<TimerDisplayFormat>("format");
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        struct Row {
            TimerDisplayFormat format;
            qint64 seconds;
            const char* text;
        };
        using F = TimerDisplayFormat;
        const Row rows[] = {
            {F::automatic, 0, "00:00"},
            {F::automatic, 65, "01:05"},
            {F::automatic, 3599, "59:59"},
            {F::automatic, 3600, "1:00:00"},
            {F::automatic, 4210, "1:10:10"},
            {F::automatic, 36000, "10:00:00"},
            {F::automatic, 360000, "100:00:00"},
            {F::automatic, -5, "00:00"},
            {F::automatic, 300, "05:00"},
            {F::noSeconds, 0, "0:00"},
            {F::noSeconds, 29, "0:00"},
            {F::noSeconds, 30, "0:01"},
            {F::noSeconds, 4210, "1:10"},
            {F::noSeconds, 3570, "1:00"},
            {F::noSeconds, 3599, "1:00"},
            {F::noSeconds, 300, "0:05"},
            {F::noSeconds, -100, "0:00"},
            {F::minutesWithUnit, 0, "0m"},
            {F::minutesWithUnit, 29, "0m"},
            {F::minutesWithUnit, 59, "1m"},
            {F::minutesWithUnit, 89, "1m"},
            {F::minutesWithUnit, 90, "2m"},
            {F::minutesWithUnit, 20700, "345m"},
            {F::minutesWithUnit, -1, "0m"},
            {F::secondsWithUnit, 0, "0s"},
            {F::secondsWithUnit, 34890, "34890s"},
            {F::secondsWithUnit, -7, "0s"},
            {F::korean, 0, "0초"},
            {F::korean, 59, "59초"},
            {F::korean, 60, "1분"},
            {F::korean, 90, "1분 30초"},
            {F::korean, 3600, "1시간"},
            {F::korean, 3660, "1시간 1분"},
            {F::korean, 5130, "1시간 25분 30초"},
            {F::korean, 7200, "2시간"},
            {F::korean, 7201, "2시간 1초"},
            {F::korean, -60, "0초"},
        };
        for (const Row& row : rows)
            QTest::addRow("%s %lld", rawValue(row.format).toUtf8().constData(), row.seconds)
                << row.format << row.seconds << QString::fromUtf8(row.text);
    }
    void formats() {
        QFETCH(TimerDisplayFormat, format);
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(formatSeconds(format, seconds), text);
    }

    // Inputs at the ends of the 64-bit range must neither overflow nor crash.
    void extremeInputs_data() {
        QTest::addColumn<TimerDisplayFormat>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("auto") << TimerDisplayFormat::automatic
                              << QStringLiteral("2562047788015215:30:07");
        QTest::newRow("noSeconds")
            << TimerDisplayFormat::noSeconds << QStringLiteral("2562047788015215:30");
        QTest::newRow("minutes") << TimerDisplayFormat::minutesWithUnit
                                 << QStringLiteral("153722867280912930m");
        QTest::newRow("seconds") << TimerDisplayFormat::secondsWithUnit
                                 << QStringLiteral("9223372036854775807s");
        QTest::newRow("korean") << TimerDisplayFormat::korean
                                << QStringLiteral("2562047788015215시간 30분 7초");
    }
    void extremeInputs() {
        QFETCH(TimerDisplayFormat, format);
        QFETCH(QString, text);
        QCOMPARE(formatSeconds(format, std::numeric_limits<qint64>::max()), text);
        QCOMPARE(formatSeconds(format, std::numeric_limits<qint64>::min()),
                 formatSeconds(format, 0));
    }

    void rounding_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("59.5 up") << 59.5 << qint64(60);
        QTest::newRow("59.4 down") << 59.4 << qint64(59);
        QTest::newRow("10.6") << 10.6 << qint64(11);
        QTest::newRow("0.49") << 0.49 << qint64(0);
        QTest::newRow("-0.5 away from zero") << -0.5 << qint64(-1);
        QTest::newRow("nan") << std::nan("") << qint64(0);
        QTest::newRow("huge") << 1e300 << std::numeric_limits<qint64>::max();
        QTest::newRow("-huge") << -1e300 << std::numeric_limits<qint64>::min();
    }
    void rounding() {
        QFETCH(double, seconds);
        QFETCH(qint64, rounded);
        QCOMPARE(roundedSeconds(seconds), rounded);
    }
};

QTEST_APPLESS_MAIN(TimeFormatTest)
#include "tst_time_format.moc"
