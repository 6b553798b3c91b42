#include "platform/screen_saver_watch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

// A screen saver on the session bus, as the desktop's would be.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    bool active = false;

public slots:
    bool GetActive() { return active; }
};

// The screen's lock state, read from org.freedesktop.ScreenSaver on a private bus
// (dbus-run-session), the service played on a connection of the test's own.
class ScreenSaverWatchTest : public QObject {
    Q_OBJECT

    static void announce(QDBusConnection bus, bool active) {
        QDBusMessage signal = QDBusMessage::createSignal(
            "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged");
        signal << active;
        bus.send(signal);
    }

private slots:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session (Debian dbus-daemon)");
    }

    void noScreenSaverCountsAsShown() {
        ScreenSaverWatch watch(QDBusConnection::sessionBus());
        QTest::qWait(100);
        QVERIFY(!watch.isActive());
    }

    void followsTheScreenSaver() {
        QDBusConnection service = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "ss");
        FakeScreenSaver saver;
        saver.active = true; // locked before the program started
        QVERIFY(service.registerObject("/org/freedesktop/ScreenSaver", &saver,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService("org.freedesktop.ScreenSaver"));

        ScreenSaverWatch watch(QDBusConnection::sessionBus());
        QSignalSpy changes(&watch, &ScreenSaverWatch::activeChanged);
        QTRY_VERIFY(watch.isActive());
        announce(service, false);
        QTRY_VERIFY(!watch.isActive());
        announce(service, false); // no change, no signal
        announce(service, true);
        QTRY_VERIFY(watch.isActive());
        QCOMPARE(changes.count(), 3);
        QDBusConnection::disconnectFromBus("ss");
    }
};

QTEST_GUILESS_MAIN(ScreenSaverWatchTest)
#include "tst_screen_saver_watch.moc"
