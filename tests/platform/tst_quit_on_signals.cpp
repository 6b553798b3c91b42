#include "platform/quit_on_signals.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

// A window that only its own buttons close, as the photo editor.
class StubbornDialog : public QDialog {
protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
    void reject() override {}
};

} // namespace

// A termination signal ends the event loop normally, so quitting still runs its handlers, and
// one signal is enough whatever windows are open.
class QuitOnSignalsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { quitOnTerminationSignals(); }

    void signalQuitsThroughTheEventLoop_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("stubbornWindow");
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGTERM with a window that declines to close") << SIGTERM << true;
    }
    void signalQuitsThroughTheEventLoop() {
        QFETCH(int, signal);
        QFETCH(bool, stubbornWindow);
        StubbornDialog dialog;
        if (stubbornWindow) {
            dialog.setWindowModality(Qt::ApplicationModal);
            dialog.show();
        }
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

QTEST_MAIN(QuitOnSignalsTest)
#include "tst_quit_on_signals.moc"
