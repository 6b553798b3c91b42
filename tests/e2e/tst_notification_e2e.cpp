#include "e2e_support.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>

using namespace E2E;

namespace {

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

// A finished countdown's notification through a real notification server (dunst) on the
// session bus this test runs on.
class NotificationE2ETest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_server;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    void writeScript(const QString& name, const QByteArray& body) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            QSKIP("no session bus: run under dbus-run-session");
        // dunst runs a script for each notification (recording what it shows) and asks a
        // "dmenu" for the action to invoke: here a script that picks "알림 끄기".
        writeScript("record.sh", "printf '%s|%s|%s\\n' \"$1\" \"$2\" \"$3\" >> \"" +
                                     path("shown").toUtf8() + "\"\n");
        writeScript("choose.sh", "tee \"" + path("offered").toUtf8() + "\" | grep '알림 끄기'\n");
        QFile config(path("dunstrc"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[global]\n    dmenu = " + path("choose.sh").toUtf8() +
                     "\n[record]\n    appname = Purrtick\n    script = " +
                     path("record.sh").toUtf8() + "\n");
        config.close();
        m_server.start("dunst", {"-config", path("dunstrc")});
        QVERIFY(m_server.waitForStarted());
        // Asked without starting one: the bus would otherwise start another dunst by itself.
        QVERIFY(waitFor([] {
            return run("dbus-send", {"--print-reply=literal", "--dest=org.freedesktop.DBus",
                                     "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                                     "string:org.freedesktop.Notifications"})
                .contains("true");
        }));
    }
    void cleanupTestCase() {
        m_server.terminate();
        m_server.waitForFinished(3000);
    }

    void finishedCountdownNotifiesAndItsActionStopsTheAlert() {
        Purrtick app;
        // A countdown of a second, started at launch.
        app.seedSettings({{"timerMode", QByteArray(R"({"workDuration":{"hours":0,"minutes":0}})")},
                          {"autoStartOnLaunch", true},
                          {"soundOnFinish", false}});
        QVERIFY(app.start());
        QVERIFY(waitFor([&] { return readAll(path("shown")).contains("Purrtick|Purrtick|"); }));
        QCOMPARE(readAll(path("shown")).trimmed(), QStringLiteral("Purrtick|Purrtick|퇴근! 🎉"));
        QVERIFY(waitFor([] { return run("dunstctl", {"count", "displayed"}).trimmed() == "1"; }));
        screenshot("notification");
        // The widget alerts with the red "끄기" button.
        const QRect buttonArea(geometry(app.widget()).topLeft() + QPoint(58, 158), QSize(64, 26));
        const QColor alertRed(0xFF, 0x3B, 0x30);
        int red = 0;
        QVERIFY(waitFor([&] { return (red = countNear(grab(buttonArea), alertRed)) > 800; }));

        // The user picks "알림 끄기" from the notification's actions.
        run("dunstctl", {"context"});
        QVERIFY(waitFor([&] { return readAll(path("offered")).contains("알림 끄기"); }));
        // The alert stops: the button goes (only the red time text is left), and so does the
        // notification.
        QVERIFY(waitFor([&] { return countNear(grab(buttonArea), alertRed) < red / 2; }, 3000));
        QVERIFY(waitFor([] { return run("dunstctl", {"count", "displayed"}).trimmed() == "0"; }));
        QVERIFY(app.stop());
    }
};

QTEST_MAIN(NotificationE2ETest)
#include "tst_notification_e2e.moc"
