#include "e2e_support.h"

#include <QTest>

using namespace E2E;

namespace {

// Splits the 2560 × 800 X screen into two monitors side by side, as two displays would be.
void useTwoMonitors() {
    // The left one takes over the X screen's own output, which retires its automatic monitor.
    run("xrandr", {"--setmonitor", "LEFT", "1280/338x800/211+0+0", "screen"});
    run("xrandr", {"--setmonitor", "RIGHT", "1280/338x800/211+1280+0", "none"});
}

} // namespace

class TwoScreensTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useTwoMonitors(); }

    void savedOnTheSecondScreen() {
        Purrtick app;
        app.seedSettings(
            {{"widgetOriginX", 2000.0}, {"widgetOriginY", 300.0}, {"hasSavedOrigin", true}});
        QVERIFY(app.start());
        QCOMPARE(geometry(app.widget()), QRect(2000, 800 - 300 - 190, 180, 190));
        QVERIFY(app.stop());
    }

    void straddlingTheSeamStaysOnTheScreenItOverlapsMost() {
        Purrtick app;
        app.seedSettings(
            {{"widgetOriginX", 1250.0}, {"widgetOriginY", 300.0}, {"hasSavedOrigin", true}});
        QVERIFY(app.start());
        QCOMPARE(geometry(app.widget()).topLeft(), QPoint(1280, 800 - 300 - 190));
        QVERIFY(app.stop());
    }

    void defaultPlaceIsOnTheMainScreen() {
        Purrtick app;
        QVERIFY(app.start());
        QCOMPARE(geometry(app.widget()), QRect(1280 - 220, 40, 180, 190));
        QVERIFY(app.stop());
    }

    void disconnectingTheScreenBringsTheWidgetBack() {
        Purrtick app;
        app.seedSettings(
            {{"widgetOriginX", 2200.0}, {"widgetOriginY", 300.0}, {"hasSavedOrigin", true}});
        QVERIFY(app.start());
        QCOMPARE(geometry(app.widget()).x(), 2200);
        run("xrandr", {"--delmonitor", "RIGHT"});
        QVERIFY(waitFor([&] { return QRect(0, 0, 1280, 800).contains(geometry(app.widget())); }));
        screenshot("screen-removed");
        run("xrandr", {"--setmonitor", "RIGHT", "1280/338x800/211+1280+0", "none"});
        QVERIFY(app.stop());
    }
};

QTEST_GUILESS_MAIN(TwoScreensTest)
#include "tst_two_screens_e2e.moc"
