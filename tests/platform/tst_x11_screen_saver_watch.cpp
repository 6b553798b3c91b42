#include "platform/x11_screen_saver_watch.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

// The X server's own screen saver, switched on and off with xset, as its timeout would.
// Runs in a private X session (tests/e2e/x11-session).
class X11ScreenSaverWatchTest : public QObject {
    Q_OBJECT

    static void xset(const QStringList& arguments) { QProcess::execute("xset", arguments); }

private slots:
    void followsTheServersScreenSaver() {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X display (run in tests/e2e/x11-session)");
        X11ScreenSaverWatch watch;
        QVERIFY(!watch.isActive());
        QSignalSpy changes(&watch, &X11ScreenSaverWatch::activeChanged);
        xset({"s", "activate"});
        QTRY_VERIFY(watch.isActive());
        xset({"s", "reset"});
        QTRY_VERIFY(!watch.isActive());
        QCOMPARE(changes.count(), 2);
    }
};

QTEST_MAIN(X11ScreenSaverWatchTest)
#include "tst_x11_screen_saver_watch.moc"
