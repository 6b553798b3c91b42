#include "app/single_instance.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void laterLaunchAsksTheRunningOne() {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        int requests = 0;
        first.onActivationRequested = [&] { ++requests; };
        QVERIFY(first.claim());

        SingleInstance second(dir.path());
        QVERIFY(!second.claim());
        QTRY_COMPARE(requests, 1);

        SingleInstance third(dir.path());
        QVERIFY(!third.claim());
        QTRY_COMPARE(requests, 2);
    }

    void aCrashedInstanceLeavesNothingInTheWay() {
        QTemporaryDir dir;
        // A lock of a process that no longer runs, and its socket file.
        QProcess gone;
        gone.start("true");
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QFile lock(dir.filePath("purrtick.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(pid) + "\npurrtick\n" + QSysInfo::machineHostName().toUtf8() +
                   "\n");
        lock.close();
        QFile socketFile(dir.filePath("purrtick.socket"));
        QVERIFY(socketFile.open(QIODevice::WriteOnly));
        socketFile.close();

        SingleInstance instance(dir.path());
        int requests = 0;
        instance.onActivationRequested = [&] { ++requests; };
        QVERIFY(instance.claim());
        SingleInstance later(dir.path());
        QVERIFY(!later.claim());
        QTRY_COMPARE(requests, 1);
    }

    void releasedWhenTheInstanceEnds() {
        QTemporaryDir dir;
        {
            SingleInstance first(dir.path());
            QVERIFY(first.claim());
        }
        SingleInstance next(dir.path());
        QVERIFY(next.claim());
    }

    void strangersAreIgnored() {
        QTemporaryDir dir;
        SingleInstance instance(dir.path());
        int requests = 0;
        instance.onActivationRequested = [&] { ++requests; };
        QVERIFY(instance.claim());
        QLocalSocket stranger;
        stranger.connectToServer(instance.socketPath());
        QVERIFY(stranger.waitForConnected(1000));
        stranger.write("hello there, please run rm -rf\n");
        stranger.waitForBytesWritten(1000);
        QTest::qWait(100);
        QCOMPARE(requests, 0);
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_single_instance.moc"
