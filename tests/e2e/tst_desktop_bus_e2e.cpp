#include "e2e_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace E2E;

namespace {

const QString kName = PURRTICK_APP_ID;
const QString kPath = "/io/github/purrtick/Purrtick";

// What a screen reader hears and does, through AT-SPI (tests/e2e/atspi_widget.py).
QString atspi(const QStringList& arguments, int* exitCode = nullptr) {
    QProcess script;
    script.start("/usr/bin/python3", QStringList{ATSPI_SCRIPT} + arguments);
    script.waitForFinished(20000);
    if (exitCode)
        *exitCode = script.exitCode();
    return QString::fromUtf8(script.readAllStandardOutput()).trimmed();
}

QString gdbus(const QStringList& arguments) {
    return run("gdbus", QStringList{"call", "--session", "--dest", kName, "--object-path", kPath,
                                    "--method"} +
                            arguments)
        .trimmed();
}

QString busProperty(const QString& name) {
    return gdbus({"org.freedesktop.DBus.Properties.Get", "io.github.purrtick.Purrtick1", name});
}

} // namespace

// The program as the desktop's other programs see it: a screen reader through AT-SPI, and
// launchers, scripts and panels on the session bus. Runs under dbus-run-session.
class DesktopBusE2ETest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            QSKIP("no session bus: run under dbus-run-session");
    }

    // With the pointer away from the widget, a screen reader reads the time left and the
    // state, and starts and pauses the countdown with the button; it hears of the new state,
    // not of every second.
    void aScreenReaderReadsAndWorksTheWidget() {
        if (!QFile::exists("/usr/lib/python3/dist-packages/pyatspi/__init__.py"))
            QSKIP("python3-pyatspi is not installed (scripts/setup --test installs it)");
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        Purrtick app;
        QVERIFY(app.start());
        run("xdotool", {"mousemove", "0", "0"});
        QString described;
        QVERIFY(waitFor([&] {
            int code = 1;
            described = atspi({"describe"}, &code);
            return code == 0;
        }));
        QCOMPARE(described, QString("Purrtick, 남은 시간 25분, 대기 중\n시작|Press|visible"));

        int code = 1;
        atspi({"press", "시작"}, &code);
        QCOMPARE(code, 0);
        QVERIFY(waitFor([&] {
            return atspi({"describe"})
                .contains(QRegularExpression(
                    "^Purrtick, 남은 시간 24분 5\\d초, 진행 중\n일시정지\\|Press\\|visible$"));
        }));
        // Two seconds of countdown and a pause: one announcement, for the pause.
        QProcess watch;
        watch.start("/usr/bin/python3", {ATSPI_SCRIPT, "watch", "2.5"});
        QVERIFY(watch.waitForStarted());
        QTest::qWait(1500);
        atspi({"press", "일시정지"}, &code);
        QCOMPARE(code, 0);
        QVERIFY(watch.waitForFinished(20000));
        QCOMPARE(watch.readAllStandardOutput().trimmed(), QByteArray("1"));
        QVERIFY(atspi({"describe"}).endsWith("일시정지됨\n계속|Press|visible"));
        qunsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
    }

    // A bus of the test's own whose service folder holds the program's service file: a call to
    // the name starts the program; gdbus, gapplication and the command line drive it.
    void theBusStartsTheProgramAndDrivesIt() {
        Purrtick app;
        QTemporaryDir bus;
        QDir(bus.path()).mkpath("services");
        QFile service(bus.filePath("services/" + kName + ".service"));
        QVERIFY(service.open(QIODevice::WriteOnly));
        service.write(("[D-BUS Service]\nName=" + kName + "\nExec=" PURRTICK_BINARY "\n").toUtf8());
        service.close();
        QFile config(bus.filePath("bus.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(("<busconfig><type>session</type><listen>unix:dir=" + bus.path() +
                      "</listen><servicedir>" + bus.filePath("services") +
                      "</servicedir><policy context=\"default\"><allow send_destination=\"*\" "
                      "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                      "</policy></busconfig>")
                         .toUtf8());
        config.close();
        // The bus starts the program in its own environment: the program's temporary home.
        QProcess daemon;
        daemon.setProcessEnvironment(app.environment());
        daemon.start("dbus-daemon",
                     {"--config-file=" + config.fileName(), "--nofork", "--print-address=1"});
        QVERIFY(daemon.waitForReadyRead(5000));
        const QByteArray previous = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", daemon.readLine().trimmed());

        QCOMPARE(gdbus({"io.github.purrtick.Purrtick1.Start"}), QString("()"));
        QCOMPARE(busProperty("State"), QString("(<'running'>,)"));
        QVERIFY(
            busProperty("Remaining").contains(QRegularExpression("^\\(<int64 1(499|500)>,\\)$")));
        QCOMPARE(run("gapplication", {"action", kName, "pause"}), QString());
        QCOMPARE(busProperty("State"), QString("(<'paused'>,)"));
        // A launch passes its command over the bus to the one instance.
        QCOMPARE(app.launchAgain(nullptr, {"--toggle"}), 0);
        QCOMPARE(busProperty("State"), QString("(<'running'>,)"));
        QVERIFY(busProperty("DisplayText")
                    .contains(QRegularExpression("^\\(<'(24:5\\d|25:00)'>,\\)$")));
        QCOMPARE(app.launchAgain(nullptr, {"--reset"}), 0);
        QCOMPARE(busProperty("State"), QString("(<'idle'>,)"));
        QCOMPARE(busProperty("DisplayText"), QString("(<'25:00'>,)"));
        QCOMPARE(busProperty("IsAlerting"), QString("(<false>,)"));
        QCOMPARE(busProperty("Mode"), QString("(<'timer'>,)"));
        QVERIFY(
            gdbus({"org.freedesktop.Application.ActivateAction", "eject", "[]", "{}"}).isEmpty());
        QCOMPARE(run("pgrep", {"-fc", "^" PURRTICK_BINARY "$"}).trimmed(), QString("1"));

        QCOMPARE(gdbus({"io.github.purrtick.Purrtick1.Quit"}), QString("()"));
        QVERIFY(waitFor([] { return run("pgrep", {"-f", "^" PURRTICK_BINARY "$"}).isEmpty(); }));
        qputenv("DBUS_SESSION_BUS_ADDRESS", previous);
        daemon.terminate();
        daemon.waitForFinished();
    }
};

QTEST_MAIN(DesktopBusE2ETest)
#include "tst_desktop_bus_e2e.moc"
