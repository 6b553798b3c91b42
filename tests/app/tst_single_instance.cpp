#include "app/single_instance.h"
#include "unreachable_path.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
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
        first.onRequest = [&](const QByteArray& line) { requests += line == "show\n"; };
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
        instance.onRequest = [&](const QByteArray& line) { requests += line == "show\n"; };
        QVERIFY(instance.claim());
        SingleInstance later(dir.path());
        QVERIFY(!later.claim());
        QTRY_COMPARE(requests, 1);
    }

    // Lock states no running instance answers for never keep the program from starting.
    void unansweredLocksAreTakenOver_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("guarded"); // whether a later launch is still sent to this one
        const QByteArray here = QSysInfo::machineHostName().toUtf8();
        const QByteArray living = QByteArray::number(QCoreApplication::applicationPid());
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("garbage") << QByteArray("\x01\xffnot a lock at all\n\n\n") << true;
        QTest::newRow("another host") << living + "\npurrtick\nelsewhere.example\n" << true;
        QTest::newRow("a living unrelated process") << living + "\nsomething-else\n" + here + "\n"
                                                    << true;
        QTest::newRow("a folder in its place") << QByteArray("<dir>") << false;
    }
    void unansweredLocksAreTakenOver() {
        QFETCH(QByteArray, content);
        QFETCH(bool, guarded);
        QTemporaryDir dir;
        const QString path = dir.filePath("purrtick.lock");
        if (content == "<dir>") {
            QVERIFY(QDir().mkdir(path));
        } else {
            QFile lock(path);
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(content);
            lock.close();
            // Written a while ago, as by an earlier session.
            QVERIFY(lock.open(QIODevice::ReadWrite));
            QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
        }

        QElapsedTimer timer;
        timer.start();
        SingleInstance instance(dir.path());
        int requests = 0;
        instance.onRequest = [&](const QByteArray& line) { requests += line == "show\n"; };
        QVERIFY(instance.claim());
        QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));

        SingleInstance later(dir.path());
        QCOMPARE(later.claim(), !guarded);
        if (guarded)
            QTRY_COMPARE(requests, 1);
    }

    void aFolderThatCannotHoldALockStillStarts() {
        QTemporaryDir dir;
        SingleInstance instance(pathBelowAPlainFile(dir, "file", "run"));
        QVERIFY(instance.claim());
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

    void aLaterLaunchPassesItsCommandOn() {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QByteArrayList lines;
        first.onRequest = [&](const QByteArray& line) { lines << line; };
        QVERIFY(first.claim());
        SingleInstance second(dir.path());
        QVERIFY(!second.claim("stop-alert\n"));
        QTRY_COMPARE(lines, QByteArrayList{"stop-alert\n"});
    }

    void strangersAreIgnored() {
        QTemporaryDir dir;
        SingleInstance instance(dir.path());
        int requests = 0;
        instance.onRequest = [&](const QByteArray& line) { requests += line == "show\n"; };
        QVERIFY(instance.claim());
        QLocalSocket stranger;
        stranger.connectToServer(instance.socketPath());
        QVERIFY(stranger.waitForConnected(1000));
        stranger.write("hello there, please run rm -rf\n");
        stranger.waitForBytesWritten(1000);
        QTest::qWait(100);
        QCOMPARE(requests, 0);
    }

    // Whoever floods the socket finds it holds no more than a request: one connection that
    // never sends a line is dropped once a request's worth has come, and connections beyond a
    // handful at once are turned away.
    void floodsAreNotKept() {
        QTemporaryDir dir;
        SingleInstance instance(dir.path());
        int requests = 0;
        instance.onRequest = [&](const QByteArray&) { ++requests; };
        QVERIFY(instance.claim());

        QLocalSocket flood;
        flood.connectToServer(instance.socketPath());
        QVERIFY(flood.waitForConnected(1000));
        const QByteArray chunk(64 * 1024, 'x');
        for (int i = 0; i < 160 && flood.state() == QLocalSocket::ConnectedState; ++i) {
            flood.write(chunk);
            flood.flush();
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(flood.state(), QLocalSocket::UnconnectedState);
        QTRY_COMPARE(instance.openConnections(), 0);
        QCOMPARE(requests, 0);

        std::vector<std::unique_ptr<QLocalSocket>> crowd;
        for (int i = 0; i < 3 * SingleInstance::kMaxConnections; ++i) {
            crowd.push_back(std::make_unique<QLocalSocket>());
            crowd.back()->connectToServer(instance.socketPath());
            QVERIFY(crowd.back()->waitForConnected(1000));
        }
        const auto open = [&] {
            QCoreApplication::processEvents();
            return std::count_if(crowd.begin(), crowd.end(), [](const auto& s) {
                return s->state() == QLocalSocket::ConnectedState;
            });
        };
        QTRY_VERIFY(open() <= SingleInstance::kMaxConnections);
        QVERIFY(instance.openConnections() <= SingleInstance::kMaxConnections);
        // A launch still gets through once the crowd has gone.
        crowd.clear();
        QTRY_COMPARE(instance.openConnections(), 0);
        SingleInstance later(dir.path());
        QVERIFY(!later.claim());
        QTRY_COMPARE(requests, 1);
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_single_instance.moc"
