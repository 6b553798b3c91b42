#include "timing/timer_mode.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(TimerMode)

namespace {
constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
} // namespace

class TimerModeTest : public QObject {
    Q_OBJECT
private slots:
    void writesCompactDocuments_data() {
        QTest::addColumn<TimerMode>("mode");
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("task") << TimerMode::task(25) << QByteArray("{\"task\":{\"minutes\":25}}");
        QTest::newRow("workOff") << TimerMode::workOff(18, 0)
                                 << QByteArray("{\"workOff\":{\"hour\":18,\"minute\":0}}");
        QTest::newRow("workDuration")
            << TimerMode::workDuration(9, 30)
            << QByteArray("{\"workDuration\":{\"hours\":9,\"minutes\":30}}");
        QTest::newRow("negative") << TimerMode::task(-3)
                                  << QByteArray("{\"task\":{\"minutes\":-3}}");
    }
    void writesCompactDocuments() {
        QFETCH(TimerMode, mode);
        QFETCH(QByteArray, json);
        QCOMPARE(encodeTimerMode(mode), json);
    }

    void roundTrips_data() {
        QTest::addColumn<TimerMode>("mode");
        QTest::newRow("task 0") << TimerMode::task(0);
        QTest::newRow("task max") << TimerMode::task(kMax);
        QTest::newRow("workOff min") << TimerMode::workOff(kMin, kMax);
        QTest::newRow("workOff 23:59") << TimerMode::workOff(23, 59);
        QTest::newRow("workDuration 0:0") << TimerMode::workDuration(0, 0);
        QTest::newRow("workDuration huge") << TimerMode::workDuration(kMax, kMin);
    }
    void roundTrips() {
        QFETCH(TimerMode, mode);
        const auto decoded = decodeTimerMode(encodeTimerMode(mode));
        QVERIFY(std::holds_alternative<TimerMode>(decoded));
        QCOMPARE(std::get<TimerMode>(decoded), mode);
    }

    void reads_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<TimerMode>("mode");
        QTest::newRow("unknown outer member ignored")
            << QByteArray("{\"task\":{\"minutes\":25},\"note\":1}") << TimerMode::task(25);
        QTest::newRow("unknown inner member ignored")
            << QByteArray("{\"workOff\":{\"minute\":5,\"hour\":7,\"x\":\"y\"}}")
            << TimerMode::workOff(7, 5);
        QTest::newRow("zero minutes kept")
            << QByteArray("{\"task\":{\"minutes\":0}}") << TimerMode::task(0);
        QTest::newRow("spaces and order free")
            << QByteArray(" { \"workDuration\" : { \"minutes\" : 30 , \"hours\" : 9 } } ")
            << TimerMode::workDuration(9, 30);
        QTest::newRow("integral float")
            << QByteArray("{\"task\":{\"minutes\":25.0}}") << TimerMode::task(25);
        QTest::newRow("largest integer")
            << QByteArray("{\"task\":{\"minutes\":9223372036854775807}}") << TimerMode::task(kMax);
    }
    void reads() {
        QFETCH(QByteArray, json);
        QFETCH(TimerMode, mode);
        const auto decoded = decodeTimerMode(json);
        QVERIFY(std::holds_alternative<TimerMode>(decoded));
        QCOMPARE(std::get<TimerMode>(decoded), mode);
    }

    void rejects_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("description");
        const int mismatch = int(TimerModeDecodeError::Kind::typeMismatch);
        const int missing = int(TimerModeDecodeError::Kind::keyNotFound);
        const int corrupt = int(TimerModeDecodeError::Kind::dataCorrupted);
        const QString count = QStringLiteral("Invalid number of keys found, expected one.");
        QTest::newRow("empty object") << QByteArray("{}") << mismatch << count;
        QTest::newRow("two cases")
            << QByteArray("{\"task\":{\"minutes\":5},\"workOff\":{\"hour\":18,\"minute\":0}}")
            << mismatch << count;
        QTest::newRow("only unknown")
            << QByteArray("{\"note\":{\"minutes\":5}}") << mismatch << count;
        QTest::newRow("missing minute")
            << QByteArray("{\"workOff\":{\"hour\":18}}") << missing << QString();
        QTest::newRow("string field")
            << QByteArray("{\"task\":{\"minutes\":\"25\"}}") << mismatch << QString();
        QTest::newRow("fraction") << QByteArray("{\"task\":{\"minutes\":2.5}}") << mismatch
                                  << QString();
        QTest::newRow("beyond 64 bits")
            << QByteArray("{\"task\":{\"minutes\":1e30}}") << mismatch << QString();
        QTest::newRow("inner not object") << QByteArray("{\"task\":25}") << mismatch << QString();
        QTest::newRow("array document")
            << QByteArray("[{\"task\":{\"minutes\":5}}]") << mismatch << QString();
        QTest::newRow("not json") << QByteArray("task=25") << corrupt << QString();
        QTest::newRow("truncated") << QByteArray("{\"task\":{\"minu") << corrupt << QString();
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe{", 4) << corrupt << QString();
    }
    void rejects() {
        QFETCH(QByteArray, json);
        QFETCH(int, kind);
        QFETCH(QString, description);
        const auto decoded = decodeTimerMode(json);
        QVERIFY(std::holds_alternative<TimerModeDecodeError>(decoded));
        const auto& error = std::get<TimerModeDecodeError>(decoded);
        QCOMPARE(int(error.kind), kind);
        if (!description.isEmpty())
            QCOMPARE(error.description, description);
        QVERIFY(!error.description.isEmpty());
    }

    void equalityComparesTheCaseFields() {
        QVERIFY(TimerMode::workOff(18, 0) != TimerMode::workOff(18, 1));
        QVERIFY(TimerMode::workDuration(9, 0) != TimerMode::workDuration(8, 0));
        QVERIFY(TimerMode::task(5) != TimerMode::workDuration(5, 0));
        QVERIFY(TimerMode::defaultMode() == TimerMode::task(25));
        QVERIFY(TimerMode{} == TimerMode::task(25));
    }
};

QTEST_APPLESS_MAIN(TimerModeTest)
#include "tst_timer_mode.moc"
