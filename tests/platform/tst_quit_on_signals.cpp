#include "platform/quit_on_signals.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <csignal>

// A termination signal ends the event loop normally, so quitting still runs its handlers.
class QuitOnSignalsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { quitOnTerminationSignals(); }

    void signalQuitsThroughTheEventLoop_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void signalQuitsThroughTheEventLoop() {
        QFETCH(int, signal);
        bool aboutToQuit = false;
        auto connection = connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                                  [&] { aboutToQuit = true; });
        QTimer::singleShot(0, [signal] { std::raise(signal); });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(aboutToQuit);
        disconnect(connection);
    }
};

QTEST_GUILESS_MAIN(QuitOnSignalsTest)
#include "tst_quit_on_signals.moc"
