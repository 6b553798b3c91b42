#include "app/finish_notification.h"
#include "fake_clock.h"
#include "platform/freedesktop_notifications.h"
#include "recording_sound.h"
#include "settings/settings.h"
#include "temp_store.h"
#include "timing/timer_engine.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTest>

// A notification server on the session bus that remembers what it was asked, and can report a
// click on an action as a real server does.
class RecordingServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit RecordingServer(QDBusConnection bus)
        : m_bus(bus) {}

    struct Shown {
        QString app, icon, summary, body;
        uint replaces;
        QStringList actions;
        QVariantMap hints;
    };
    QList<Shown> shown;
    QList<uint> closed;

    void clickAction(uint id, const QString& key) {
        QDBusMessage signal = QDBusMessage::createSignal(
            "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
        signal << id << key;
        m_bus.send(signal);
    }

public slots:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int) {
        shown.append({app, icon, summary, body, replaces, actions, hints});
        return replaces ? replaces : uint(shown.size() + 100);
    }
    void CloseNotification(uint id) { closed.append(id); }
    QStringList GetCapabilities() { return {"actions", "body"}; }

private:
    QDBusConnection m_bus;
};

// Desktop notifications for a finished countdown, through a private session bus.
class FinishNotificationTest : public QObject {
    Q_OBJECT

    struct Fixture {
        Fixture()
            : settings(temp.open())
            , engine(settings, clock, sound)
            , notifications([] { return QDBusConnection::sessionBus(); },
                            "io.github.purrtick.Purrtick", "io.github.purrtick.Purrtick")
            , finish(engine, settings, notifications, [this] { ++widgetShown; }) {}

        void finishCountdown() {
            engine.setMode(TimerMode::workDuration(0, 0));
            engine.start();
            clock.advance(1);
            engine.tick();
        }

        TempStore temp;
        Settings settings;
        FakeClock clock;
        RecordingSound sound;
        TimerEngine engine;
        FreedesktopNotifications notifications;
        FinishNotification finish;
        int widgetShown = 0;
    };

    QDBusConnection m_serverBus{QString()};
    std::unique_ptr<RecordingServer> m_server;

private slots:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session (Debian dbus-daemon)");
        // The server on a connection of its own, as another process would be.
        m_serverBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "server");
        m_server = std::make_unique<RecordingServer>(m_serverBus);
        QVERIFY(m_serverBus.registerObject("/org/freedesktop/Notifications", m_server.get(),
                                           QDBusConnection::ExportAllSlots));
        QVERIFY(m_serverBus.registerService("org.freedesktop.Notifications"));
    }
    void init() {
        m_server->shown.clear();
        m_server->closed.clear();
    }

    void finishedCountdownNotifies() {
        Fixture f;
        f.finishCountdown();
        QTRY_COMPARE(m_server->shown.size(), 1);
        const RecordingServer::Shown& shown = m_server->shown.front();
        QCOMPARE(shown.app, QStringLiteral("Purrtick"));
        QCOMPARE(shown.summary, QStringLiteral("Purrtick"));
        QCOMPARE(shown.body, QStringLiteral("퇴근! 🎉"));
        QCOMPARE(shown.icon, QStringLiteral("io.github.purrtick.Purrtick"));
        QCOMPARE(shown.actions, QStringList({"default", "위젯 보기", "stop-alert", "알림 끄기"}));
        QCOMPARE(shown.hints.value("desktop-entry").toString(),
                 QStringLiteral("io.github.purrtick.Purrtick"));
        // Shown through "do not disturb"; silent, since the program beeps itself.
        QCOMPARE(shown.hints.value("urgency").value<uchar>(), uchar(2));
        QCOMPARE(shown.hints.value("suppress-sound").toBool(), true);
    }

    // With the finish sound off, the notification server may sound its own.
    void withoutTheProgramsSoundTheServerMaySound() {
        Fixture f;
        f.settings.setSoundOnFinish(false);
        f.finishCountdown();
        QTRY_COMPARE(m_server->shown.size(), 1);
        QVERIFY(!m_server->shown.front().hints.contains("suppress-sound"));
        QCOMPARE(m_server->shown.front().hints.value("urgency").value<uchar>(), uchar(2));
    }

    // The notification's action stops the alert, which withdraws the notification.
    void actionStopsTheAlert() {
        Fixture f;
        f.finishCountdown();
        QTRY_COMPARE(m_server->shown.size(), 1);
        QTest::qWait(50); // the id reaches the program
        m_server->clickAction(101, "stop-alert");
        QTRY_VERIFY(!f.engine.isAlerting());
        QTRY_COMPARE(m_server->closed, QList<uint>{101});
        // Another program's notification with another id is none of ours.
        f.finishCountdown();
        QTRY_COMPARE(m_server->shown.size(), 2);
        QTest::qWait(50);
        m_server->clickAction(4242, "stop-alert");
        QTest::qWait(100);
        QVERIFY(f.engine.isAlerting());
        m_server->clickAction(102, "default");
        QTRY_COMPARE(f.widgetShown, 1);
        QVERIFY(f.engine.isAlerting());
    }

    // Stopped elsewhere (the widget's button, a reset, a new countdown): withdrawn, even when
    // the server had not answered yet.
    void withdrawnWhenTheAlertStopsElsewhere() {
        Fixture f;
        f.finishCountdown();
        f.engine.reset(); // before the server's answer has arrived
        QTRY_COMPARE(m_server->closed.size(), 1);
        QCOMPARE(m_server->shown.size(), 1);
        f.finishCountdown();
        QTRY_COMPARE(m_server->shown.size(), 2);
        QTest::qWait(50);
        f.engine.stopAlert();
        QTRY_COMPARE(m_server->closed.size(), 2);
    }

    void switchedOffInTheSettings() {
        Fixture f;
        f.settings.setNotifyOnFinish(false);
        f.finishCountdown();
        QTest::qWait(100);
        QVERIFY(m_server->shown.isEmpty());
        QVERIFY(f.engine.isAlerting());
    }

    // Without a server nothing fails: one line in the log, however often it is tried.
    void noServer() {
        QVERIFY(m_serverBus.unregisterService("org.freedesktop.Notifications"));
        Fixture f;
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^데스크톱 알림을 보낼 수 없음: "));
        f.finishCountdown();
        QTest::qWait(200);
        f.engine.reset();
        f.finishCountdown();
        QTest::qWait(200);
        QVERIFY(f.engine.isAlerting());
        QVERIFY(m_serverBus.registerService("org.freedesktop.Notifications"));
    }
};

QTEST_GUILESS_MAIN(FinishNotificationTest)
#include "tst_finish_notification.moc"
