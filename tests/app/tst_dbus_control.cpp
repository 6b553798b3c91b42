#include "app/dbus_control.h"
#include "fake_clock.h"
#include "recording_sound.h"
#include "settings/settings.h"
#include "temp_store.h"
#include "timing/clock_engine.h"
#include "timing/timer_engine.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QTest>
#include <QThread>

using Command = CommandLine::Command;
Q_DECLARE_METATYPE(Command)

// Listens to the control's signals from another connection, as a panel applet would.
class Listener : public QObject {
    Q_OBJECT

public:
    QList<QVariantMap> changes;
    int finished = 0;

public slots:
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList&) {
        if (interface == DBusControl::interfaceName())
            changes.append(changed);
    }
    void finishedSignal() { ++finished; }
};

// The program on the session bus, called from a second connection of this process (another
// program, as far as the bus knows). Runs on a private bus (dbus-run-session).
class DBusControlTest : public QObject {
    Q_OBJECT

    struct Fixture {
        Fixture()
            : settings(temp.open())
            , timer(settings, clock, sound)
            , clockEngine(settings, clock)
            , control(timer, clockEngine, settings,
                      [this](Command command) { performed.append(command); }) {}
        TempStore temp;
        Settings settings;
        FakeClock clock;
        RecordingSound sound;
        TimerEngine timer;
        ClockEngine clockEngine;
        DBusControl control;
        QList<Command> performed;
    };

    QDBusConnection m_client{QString()};

    // Calls a method from the client connection and waits for the answer, serving the control
    // meanwhile (it lives on this thread).
    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            DBusControl::serviceName(), DBusControl::objectPath(), interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = m_client.asyncCall(message);
        QDBusPendingCallWatcher watcher(pending);
        if (!QTest::qWaitFor([&] { return watcher.isFinished(); }, 5000))
            return {};
        return pending.reply();
    }
    QVariant property(const QString& name) {
        const QDBusMessage reply =
            call("org.freedesktop.DBus.Properties", "Get", {DBusControl::interfaceName(), name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }

private slots:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session (Debian dbus-daemon)");
        m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "client");
        QVERIFY(m_client.isConnected());
    }

    void everyCommandReachesTheProgram_data() {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<Command>("expected");
        const QString own = DBusControl::interfaceName();
        const QList<std::pair<const char*, Command>> methods{{"Toggle", Command::toggle},
                                                             {"Start", Command::start},
                                                             {"Pause", Command::pause},
                                                             {"Reset", Command::reset},
                                                             {"StopAlert", Command::stopAlert},
                                                             {"Show", Command::show},
                                                             {"Hide", Command::hide},
                                                             {"Settings", Command::settings},
                                                             {"Quit", Command::quit}};
        for (const auto& [method, command] : methods) {
            QTest::newRow(method) << own << QString(method) << QVariantList() << command;
            const QString action = CommandLine::actionName(command);
            QTest::newRow(qPrintable("action " + action))
                << "org.freedesktop.Application"
                << "ActivateAction"
                << QVariantList{action, QVariant::fromValue(QVariantList()), QVariantMap()}
                << command;
        }
        QTest::newRow("Activate") << "org.freedesktop.Application"
                                  << "Activate" << QVariantList{QVariantMap()} << Command::show;
    }
    void everyCommandReachesTheProgram() {
        QFETCH(QString, interface);
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(Command, expected);
        Fixture f;
        QVERIFY(f.control.publish(QDBusConnection::sessionBus()));
        const QDBusMessage reply = call(interface, method, arguments);
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(f.performed, QList<Command>{expected});
    }

    void anUnknownActionIsAnErrorAndDoesNothing() {
        Fixture f;
        QVERIFY(f.control.publish(QDBusConnection::sessionBus()));
        const QDBusMessage reply =
            call("org.freedesktop.Application", "ActivateAction",
                 {QString("format-disk"), QVariant::fromValue(QVariantList()), QVariantMap()});
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), QString("org.freedesktop.DBus.Error.InvalidArgs"));
        QTest::qWait(50);
        QVERIFY(f.performed.isEmpty());
    }

    void propertiesReadTheTimerAndTheClock() {
        Fixture f;
        QVERIFY(f.control.publish(QDBusConnection::sessionBus()));
        f.timer.setMode(TimerMode::task(25));
        QCOMPARE(property("State"), QVariant("idle"));
        QCOMPARE(property("Remaining"), QVariant(qlonglong(1500)));
        f.timer.start();
        f.clock.advance(61.4);
        f.timer.tick();
        QCOMPARE(property("State"), QVariant("running"));
        QCOMPARE(property("Remaining"), QVariant(qlonglong(1439)));
        QCOMPARE(property("DisplayText"), QVariant("23:59"));
        QCOMPARE(property("IsAlerting"), QVariant(false));
        QCOMPARE(property("Mode"), QVariant("timer"));
        f.settings.setWidgetMode(WidgetMode::clock);
        f.clockEngine.refresh();
        QCOMPARE(property("Mode"), QVariant("clock"));
        QCOMPARE(property("DisplayText"), QVariant(f.clockEngine.displayText()));
    }

    void changesAreAnnouncedOnceAndTheSecondsAtMostOnceASecond() {
        Fixture f;
        Listener listener;
        QVERIFY(m_client.connect(DBusControl::serviceName(), DBusControl::objectPath(),
                                 "org.freedesktop.DBus.Properties", "PropertiesChanged", &listener,
                                 SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
        QVERIFY(m_client.connect(DBusControl::serviceName(), DBusControl::objectPath(),
                                 DBusControl::interfaceName(), "Finished", &listener,
                                 SLOT(finishedSignal())));
        f.timer.setMode(TimerMode::task(1));
        QVERIFY(f.control.publish(QDBusConnection::sessionBus()));
        f.timer.start();
        // Nobody has read the properties: the new state is told, the seconds are not.
        f.clock.advance(1);
        f.timer.tick();
        QTRY_COMPARE(listener.changes.size(), 1);
        QTest::qWait(50);
        QCOMPARE(listener.changes.size(), 1);
        listener.changes.clear();
        QCOMPARE(property("Remaining"), QVariant(qlonglong(59)));
        // Read: four ticks a second for three seconds give one announcement a second, 59 (not
        // announced before) to 56.
        for (int i = 0; i < 12; ++i) {
            f.clock.advance(0.25);
            f.timer.tick();
        }
        QTRY_COMPARE(listener.changes.size(), 4);
        QTest::qWait(50);
        QCOMPARE(listener.changes.size(), 4);
        f.timer.pause();
        QTRY_COMPARE(listener.changes.size(), 5);
        QCOMPARE(listener.changes[0].value("Remaining"), QVariant(qlonglong(59)));
        QCOMPARE(listener.changes[3].value("Remaining"), QVariant(qlonglong(56)));
        for (const QVariantMap& changed : listener.changes.mid(0, 4))
            QCOMPARE(changed.keys(), (QStringList{"DisplayText", "Remaining"}));
        QCOMPARE(listener.changes[4].keys(), QStringList{"State"});
        f.timer.resume();
        QTRY_COMPARE(listener.changes.size(), 6);
        // Setting the same value again announces nothing.
        f.timer.tick();
        f.settings.setWidgetMode(WidgetMode::timer);
        QTest::qWait(50);
        QCOMPARE(listener.changes.size(), 6);

        f.clock.advance(60);
        f.timer.tick();
        QTRY_COMPARE(listener.finished, 1);
        QTRY_VERIFY(listener.changes.last().value("IsAlerting").toBool());
        f.timer.tick();
        QTest::qWait(50);
        QCOMPARE(listener.finished, 1);
    }

    void theNameHasOneOwnerAndLaunchesReachIt() {
        // No instance: a launch is told so (and none is started for it).
        QVERIFY(!DBusControl::askRunningInstance(m_client, Command::start));
        Fixture first;
        QVERIFY(first.control.publish(QDBusConnection::sessionBus()));
        Fixture second;
        QVERIFY(!second.control.publish(m_client));
        // The launch's call blocks: answer it from the bus connection's own thread is not
        // possible here, so it is sent from a helper thread while this one serves the control.
        bool answered = false;
        std::unique_ptr<QThread> launch(QThread::create([&] {
            QDBusConnection bus =
                QDBusConnection::connectToBus(QDBusConnection::SessionBus, "launch");
            answered = DBusControl::askRunningInstance(bus, Command::stopAlert);
            QDBusConnection::disconnectFromBus("launch");
        }));
        launch->start();
        QTRY_VERIFY(launch->isFinished());
        QVERIFY(answered);
        QTRY_COMPARE(first.performed, QList<Command>{Command::stopAlert});
        QVERIFY(second.performed.isEmpty());
    }
};

QTEST_GUILESS_MAIN(DBusControlTest)
#include "tst_dbus_control.moc"
