#include "settings/key_value_store.h"
#include "temp_store.h"
#include "unreachable_path.h"

#include <QRegularExpression>
#include <QTest>

class KeyValueStoreTest : public QObject {
    Q_OBJECT
private slots:
    void booleans_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("registered");
        QTest::addColumn<bool>("read");
        QTest::newRow("true") << QByteArray("true") << false << true;
        QTest::newRow("false over registered true") << QByteArray("false") << true << false;
        QTest::newRow("TRUE") << QByteArray("TRUE") << false << true;
        QTest::newRow("1") << QByteArray("1") << false << true;
        QTest::newRow("0") << QByteArray("0") << true << false;
        QTest::newRow("yes") << QByteArray("yes") << false << true;
        QTest::newRow("junk gives registered") << QByteArray("maybe") << true << true;
        QTest::newRow("junk gives false") << QByteArray("maybe") << false << false;
        QTest::newRow("empty") << QByteArray("") << true << true;
        QTest::newRow("nan") << QByteArray("nan") << true << true;
        QTest::newRow("list") << QByteArray("true, false") << false << false;
        QTest::newRow("absent") << QByteArray() << true << true;
    }
    void booleans() {
        QFETCH(QByteArray, stored);
        QFETCH(bool, registered);
        QFETCH(bool, read);
        TempStore temp;
        temp.writeFile(stored.isNull() ? QByteArray("[General]\n")
                                       : "[General]\nflag=" + stored + "\n");
        KeyValueStore& store = temp.open();
        store.registerDefaults({{"flag", registered}});
        QCOMPARE(store.readBool("flag"), read);
    }

    void doubles_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<double>("read");
        QTest::newRow("plain") << QByteArray("1.5") << 1.5;
        QTest::newRow("negative") << QByteArray("-300.25") << -300.25;
        QTest::newRow("exponent") << QByteArray("1e3") << 1000.0;
        QTest::newRow("spaces") << QByteArray("\" 2 \"") << 2.0;
        QTest::newRow("nan") << QByteArray("nan") << 0.0;
        QTest::newRow("inf") << QByteArray("inf") << 0.0;
        QTest::newRow("overflow") << QByteArray("1e999") << 0.0;
        QTest::newRow("text") << QByteArray("big") << 0.0;
        QTest::newRow("comma decimal") << QByteArray("\"1,5\"") << 0.0;
        QTest::newRow("point") << QByteArray("@Point(1 2)") << 0.0;
        QTest::newRow("empty") << QByteArray("") << 0.0;
    }
    void doubles() {
        QFETCH(QByteArray, stored);
        QFETCH(double, read);
        TempStore temp;
        temp.writeFile("[General]\nvalue=" + stored + "\n");
        QCOMPARE(temp.open().readDouble("value"), read);
    }

    void doublesSurviveExactly() {
        TempStore temp;
        KeyValueStore& store = temp.open();
        const double values[] = {0.1, 1.0 / 3.0, -1e-300, 1.7976931348623157e308, 123456789.125};
        for (double v : values)
            store.writeDouble(QString::number(v), v);
        store.flush();
        KeyValueStore& reopened = temp.open();
        for (double v : values)
            QCOMPARE(reopened.readDouble(QString::number(v)), v);
    }

    void textsAndData() {
        TempStore temp;
        KeyValueStore& store = temp.open();
        store.writeText("name", "고양이, \"치즈\" = 1");
        store.writeData("blob", QByteArray("\0\x01{\"a\":1}", 9));
        store.flush();
        KeyValueStore& reopened = temp.open();
        QCOMPARE(reopened.readText("name"), QStringLiteral("고양이, \"치즈\" = 1"));
        QCOMPARE(reopened.readData("blob"), QByteArray("\0\x01{\"a\":1}", 9));
        QCOMPARE(reopened.readText("missing"), std::nullopt);
        QCOMPARE(reopened.readData("missing"), std::nullopt);
    }

    // A burst of writes (a drag) costs one file write per interval, and nothing waits longer.
    void burstsShareOneFileWrite() {
        TempStore temp;
        KeyValueStore store(temp.path(), 40);
        store.writeDouble("x", 1);
        QCoreApplication::processEvents();
        QCOMPARE(store.fileWrites(), 1);
        for (int i = 2; i <= 50; ++i) {
            store.writeDouble("x", i);
            QCoreApplication::processEvents();
        }
        QCOMPARE(store.fileWrites(), 1);
        QCOMPARE(TempStore::fileValue(temp.path(), "x").toDouble(), 1.0);
        QTRY_COMPARE_WITH_TIMEOUT(store.fileWrites(), 2, 2000);
        QCOMPARE(TempStore::fileValue(temp.path(), "x").toDouble(), 50.0);
    }

    void pendingWritesLandWhenTheStoreCloses() {
        TempStore temp;
        {
            KeyValueStore store(temp.path(), 60000);
            store.writeBool("first", true);
            store.flush();
            store.writeText("second", "later");
        }
        QCOMPARE(TempStore::fileValue(temp.path(), "second").toString(), QStringLiteral("later"));
    }

    // A store whose file cannot be written keeps working in memory and says so once.
    void unwritableFileIsReportedOnce() {
        QTemporaryDir dir;
        KeyValueStore store(pathBelowAPlainFile(dir, "Purrtick", "Purrtick.conf"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("설정 저장 실패: .*Purrtick.conf"));
        QTest::failOnWarning(QRegularExpression("."));
        store.writeBool("a", true);
        QVERIFY(!store.flush());
        store.writeBool("b", true);
        QVERIFY(!store.flush()); // no second message
        QCOMPARE(store.readBool("a"), true);
        QCoreApplication::processEvents();
    }

    // The failure report comes again after the file was writable once more.
    void recoveryRearmsTheReport() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("Purrtick");
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        KeyValueStore store(folder + "/Purrtick.conf");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("설정 저장 실패"));
        store.writeBool("a", true);
        QVERIFY(!store.flush());
        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().mkpath(folder));
        store.writeBool("b", true);
        QVERIFY(store.flush());
        QCOMPARE(TempStore::fileValue(folder + "/Purrtick.conf", "b").toBool(), true);
    }
};

QTEST_GUILESS_MAIN(KeyValueStoreTest)
#include "tst_key_value_store.moc"
