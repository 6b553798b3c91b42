#include "e2e_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

using namespace E2E;

namespace {

// The visible area on the test screen: 1280 × 800 with the 28-pixel tray along the top.
const QRect kVisible(0, 28, 1280, 772);
const int kScreenHeight = 800;

// The widget's stored origin (bottom-left corner, y up) for a window at a Qt position.
QPointF originFor(const QRect& window) {
    return QPointF(window.x(), kScreenHeight - window.y() - window.height());
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void firstLaunch() {
        Purrtick app;
        QVERIFY(app.start());
        const QRect widget = geometry(app.widget());
        QCOMPARE(widget.size(), QSize(180, 190));
        QCOMPARE(widget.topRight(), kVisible.topRight() + QPoint(-40, 40));

        QCOMPARE(windowProperty(app.widget(), "_NET_WM_DESKTOP"), QString("4294967295"));
        const QString states = windowProperty(app.widget(), "_NET_WM_STATE");
        QVERIFY2(states.contains("_NET_WM_STATE_SKIP_TASKBAR"), qPrintable(states));
        QVERIFY2(states.contains("_NET_WM_STATE_SKIP_PAGER"), qPrintable(states));
        QVERIFY2(states.contains("_NET_WM_STATE_ABOVE"), qPrintable(states));
        QCOMPARE(windowProperty(app.widget(), "WM_CLASS"), QString(R"("purrtick", "purrtick")"));
        QVERIFY(windowProperty(app.widget(), "_NET_WM_WINDOW_TYPE").contains("UTILITY"));
        // Never takes the keyboard focus: WM_HINTS asks for no input.
        QVERIFY(run("xprop", {"-id", app.widget(), "WM_HINTS"}).contains("False"));
        // A 32-bit visual, so the transparent parts are really transparent.
        QVERIFY(run("xwininfo", {"-id", app.widget()}).contains("Depth: 32"));

        QVERIFY(waitFor([] { return embeddedTrayIcon().has_value(); }));
        screenshot("first-launch");
        QVERIFY(app.stop());
    }

    void savedOrigins_data() {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QRect>("expected");

        auto origin = [](double x, double y) {
            return QVariantMap{
                {"widgetOriginX", x}, {"widgetOriginY", y}, {"hasSavedOrigin", true}};
        };
        QTest::newRow("on screen: restored")
            << origin(200, 300) << QRect(200, 800 - 300 - 190, 180, 190);
        QTest::newRow("under the tray: pushed below it")
            << origin(300, 700) << QRect(300, 28, 180, 190);
        // (The clamping rules row by row are the panel geometry's tests; here, the real screen
        // and the tray's strut.)
        QTest::newRow("far away: top-right") << origin(-4000, 9000) << QRect(1060, 68, 180, 190);
        QVariantMap scaled = origin(200, 300);
        scaled.insert("widgetScale", 2.0);
        QTest::newRow("scale 2") << scaled << QRect(200, 800 - 300 - 380, 360, 380);
    }
    void savedOrigins() {
        QFETCH(QVariantMap, stored);
        QFETCH(QRect, expected);
        Purrtick app;
        app.seedSettings(stored);
        QVERIFY(app.start());
        QVERIFY(waitFor([&] { return geometry(app.widget()) == expected; }, 3000));
        QVERIFY(kVisible.contains(geometry(app.widget())));
    }

    void draggingMovesAndPersists() {
        Purrtick app;
        QVERIFY(app.start());
        const QRect start = geometry(app.widget());
        const QPoint grab = start.center();
        // Towards the top-left corner and beyond: it stops at the visible area's edges.
        run("xdotool", {"mousemove",
                        QString::number(grab.x()),
                        QString::number(grab.y()),
                        "mousedown",
                        "1",
                        "mousemove",
                        "900",
                        "300",
                        "sleep",
                        "0.05",
                        "mousemove",
                        "400",
                        "200",
                        "sleep",
                        "0.05",
                        "mousemove",
                        "20",
                        "5",
                        "sleep",
                        "0.05",
                        "mouseup",
                        "1"});
        QVERIFY(waitFor([&] { return geometry(app.widget()).topLeft() == QPoint(0, 28); }, 3000));
        const QRect dropped = geometry(app.widget());
        QVERIFY(waitFor(
            [&] {
                return app.storedValue("widgetOriginX").toDouble() == originFor(dropped).x() &&
                       app.storedValue("widgetOriginY").toDouble() == originFor(dropped).y() &&
                       app.storedValue("hasSavedOrigin").toBool();
            },
            3000));
        screenshot("dragged");

        // A move to the middle, then a relaunch puts it back there.
        run("xdotool",
            {"mousemove", "60", "100", "mousedown", "1", "mousemove", "300", "300", "sleep", "0.05",
             "mousemove", "500", "400", "sleep", "0.05", "mouseup", "1"});
        QVERIFY(waitFor([&] { return geometry(app.widget()).topLeft() != QPoint(0, 28); }, 3000));
        const QRect moved = geometry(app.widget());
        QVERIFY(kVisible.contains(moved));
        QVERIFY(waitFor(
            [&] { return app.storedValue("widgetOriginX").toDouble() == originFor(moved).x(); },
            3000));
        QVERIFY(app.stop());
        QVERIFY(app.start());
        QCOMPARE(geometry(app.widget()), moved);
    }

    void trayMenuOpensOnClick() {
        Purrtick app;
        QVERIFY(app.start());
        std::optional<Embedded> icon;
        QVERIFY(waitFor([&] { return (icon = embeddedTrayIcon()).has_value(); }));
        const QPoint centre = icon->geometry.center();
        run("xdotool",
            {"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "1"});
        QString menu;
        QVERIFY(waitFor([&] { return !(menu = openMenu()).isEmpty(); }));
        const QRect menuRect = geometry(menu);
        QVERIFY(menuRect.width() > 120);
        // Opened next to the icon, inside the screen.
        QVERIFY(menuRect.top() >= icon->geometry.top());
        QVERIFY(menuRect.right() >= icon->geometry.left() - 200);
        QVERIFY(QRect(0, 0, 1280, 800).contains(menuRect));
        QTest::qWait(150); // the menu's first paint
        const QString shot = screenshot("tray-menu");
        // The menu really painted: its area is not the plain desktop colour.
        const QImage image(shot);
        QVERIFY(!image.isNull());
        QVERIFY(image.pixelColor(menuRect.center()) != QColor(0x5B, 0x7C, 0x99));

        run("xdotool", {"key", "Escape"});
        QVERIFY(waitFor([&] { return !isViewable(menu); }, 3000));
        QVERIFY(app.stop());
    }

    void rightClickOnTheWidgetOpensTheMenu() {
        Purrtick app;
        QVERIFY(app.start());
        const QPoint centre = geometry(app.widget()).center();
        run("xdotool",
            {"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "3"});
        QString menu;
        QVERIFY(waitFor([&] { return !(menu = openMenu()).isEmpty(); }));
        QVERIFY(geometry(menu).contains(centre + QPoint(1, 1)));
        run("xdotool", {"key", "Escape"});
        QVERIFY(waitFor([&] { return !isViewable(menu); }, 3000));
        QVERIFY(app.stop());
    }

    void secondLaunchExitsAndShowsTheFirst() {
        Purrtick app;
        app.seedSettings({{"isWidgetVisible", false}});
        QVERIFY(app.start(false));
        int elapsed = 0;
        QCOMPARE(app.launchAgain(&elapsed), 0);
        QVERIFY(app.isRunning());
        qInfo("second launch returned after %d ms", elapsed);
        // Asked to show itself, the running instance maps its widget and remembers that.
        QVERIFY(waitFor([&] {
            const QStringList found = search({"--onlyvisible", "--name", "^Purrtick$"});
            return !found.isEmpty();
        }));
        QVERIFY(waitFor([&] { return app.storedValue("isWidgetVisible").toBool(); }, 3000));
        QVERIFY(app.stop());
    }

    void countdownStartsFromTheTrayMenu() {
        Purrtick app;
        QVERIFY(app.start());
        std::optional<Embedded> icon;
        QVERIFY(waitFor([&] { return (icon = embeddedTrayIcon()).has_value(); }));
        const QRect widget = geometry(app.widget());
        const QImage idle = grab(widget);
        const QPoint centre = icon->geometry.center();
        run("xdotool",
            {"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "1"});
        QVERIFY(waitFor([] { return !openMenu().isEmpty(); }));
        // The first item, then the start item below the state line.
        run("xdotool", {"key", "Down", "Down", "Return"});
        QVERIFY(waitFor([] { return openMenu().isEmpty(); }, 3000));
        // The time text changes as the countdown runs (and turns from faded to full white).
        QImage before;
        QVERIFY(waitFor([&] { return (before = grab(widget)) != idle; }, 3000));
        QVERIFY(waitFor([&] { return grab(widget) != before; }, 3000));
        screenshot("running");
        QVERIFY(app.stop());
    }

    void finishedCountdownTurnsRedWithTheAlertButton() {
        Purrtick app;
        app.seedSettings({{"timerMode", QByteArray(R"({"workDuration":{"hours":0,"minutes":0}})")},
                          {"autoStartOnLaunch", true},
                          {"soundOnFinish", false}});
        QVERIFY(app.start());
        const QRect lower = geometry(app.widget()).adjusted(0, 120, 0, 0);
        // Red time text and the red "끄기" button.
        QVERIFY(waitFor([&] { return countNear(grab(lower), QColor(0xFF, 0x3B, 0x30)) > 400; }));
        screenshot("done");
        QVERIFY(app.stop());
    }

    void hoverRevealsTheControls() {
        Purrtick app;
        QVERIFY(app.start());
        const QRect widget = geometry(app.widget());
        const QRect rotateGrip(widget.x() + 4, widget.y() + 4, 30, 30);
        run("xdotool", {"mousemove", "5", "700"});
        const QImage away = grab(rotateGrip);
        run("xdotool", {"mousemove", QString::number(widget.center().x()),
                        QString::number(widget.center().y())});
        QVERIFY(waitFor([&] { return grab(rotateGrip) != away; }, 3000));
        screenshot("hover");
        run("xdotool", {"mousemove", "5", "700"});
        QVERIFY(waitFor([&] { return grab(rotateGrip) == away; }, 3000));
        QVERIFY(app.stop());
    }

    // Qt replaces the X window when the stacking flag changes and the widget is shown again;
    // every hint must be on the window that is mapped then.
    void hintsSurviveModeChangesAndHiding_data() {
        QTest::addColumn<int>("modeItem");
        QTest::addColumn<QString>("level");
        // Menu items from the top: 정보, 시작, 리셋, 설정, 위젯 숨기기, the two modes, 종료.
        QTest::newRow("desktop only") << 7 << "_NET_WM_STATE_BELOW";
        QTest::newRow("back to always on top") << 6 << "_NET_WM_STATE_ABOVE";
    }
    void hintsSurviveModeChangesAndHiding() {
        QFETCH(int, modeItem);
        QFETCH(QString, level);
        Purrtick app;
        if (level.endsWith("ABOVE"))
            app.seedSettings({{"displayMode", "desktopOnly"}});
        QVERIFY(app.start());
        std::optional<Embedded> icon;
        QVERIFY(waitFor([&] { return (icon = embeddedTrayIcon()).has_value(); }));
        const QPoint tray = icon->geometry.center();
        const QPoint widgetCentre = geometry(app.widget()).center();

        QVERIFY(chooseFromMenu(widgetCentre, 3, modeItem));
        QVERIFY(chooseFromMenu(tray, 1, 5)); // 위젯 숨기기
        QVERIFY(waitFor([] { return widgetWindows().isEmpty(); }, 3000));
        QVERIFY(chooseFromMenu(tray, 1, 5)); // 위젯 보이기
        QStringList shown;
        QVERIFY(waitFor([&] { return (shown = widgetWindows()).size() == 1; }, 3000));
        const QString widget = shown.first();
        QVERIFY(waitFor(
            [&] {
                const QString states = windowProperty(widget, "_NET_WM_STATE");
                return states.contains("_NET_WM_STATE_SKIP_TASKBAR") &&
                       states.contains("_NET_WM_STATE_SKIP_PAGER") && states.contains(level) &&
                       windowProperty(widget, "_NET_WM_DESKTOP") == "4294967295";
            },
            3000));

        // On the other workspace too.
        run("xdotool", {"set_desktop", "1"});
        QVERIFY(waitFor([] { return run("xdotool", {"get_desktop"}).trimmed() == "1"; }, 3000));
        QVERIFY(waitFor([&] { return isViewable(widget); }, 3000));
        screenshot(QString("second-workspace-%1").arg(QTest::currentDataTag()).replace(' ', '-'));
        run("xdotool", {"set_desktop", "0"});
        QVERIFY(app.stop());
    }

    // A click where the button is drawn reaches it: the paused countdown resumes, and the
    // alert stops with "끄기", through the real pointer on the real window stack.
    void widgetButtonTakesTheRealPointer() {
        Purrtick app;
        app.seedSettings({{"autoStartOnLaunch", true}});
        QVERIFY(app.start());
        const QRect widget = geometry(app.widget());
        const QPoint button = widget.topLeft() + QPoint(90, 190 - 6 - 13);
        auto click = [&] {
            run("xdotool",
                {"mousemove", QString::number(button.x()), QString::number(button.y() - 30),
                 "sleep", "0.2", "mousemove", QString::number(button.x()),
                 QString::number(button.y()), "sleep", "0.2", "click", "1"});
        };
        // Running: one click pauses (the text turns yellow), the next resumes.
        const QRect text = widget.adjusted(0, 120, 0, -20);
        click();
        QVERIFY(
            waitFor([&] { return countNear(grab(text), QColor(0xFF, 0xCC, 0x00)) > 200; }, 3000));
        click();
        QVERIFY(
            waitFor([&] { return countNear(grab(text), QColor(0xFF, 0xCC, 0x00)) < 20; }, 3000));
        QVERIFY(app.stop());

        // Alerting: "끄기" stops the alert, and the tray menu no longer offers it.
        Purrtick alerting;
        alerting.seedSettings(
            {{"timerMode", QByteArray(R"({"workDuration":{"hours":0,"minutes":0}})")},
             {"autoStartOnLaunch", true},
             {"soundOnFinish", false}});
        QVERIFY(alerting.start());
        const QRect buttonArea(geometry(alerting.widget()).topLeft() + QPoint(58, 158),
                               QSize(64, 26));
        int red = 0;
        QVERIFY(waitFor(
            [&] { return (red = countNear(grab(buttonArea), QColor(0xFF, 0x3B, 0x30))) > 800; }));
        screenshot("alerting-before-click");
        click();
        // The red "끄기" button goes; only the red time text is left in its place.
        QVERIFY(waitFor(
            [&] { return countNear(grab(buttonArea), QColor(0xFF, 0x3B, 0x30)) < red / 2; }, 3000));
        screenshot("alert-stopped");
        QVERIFY(alerting.stop());
    }

    // The longest clock text fits the default widget: the text's size is in logical pixels, not
    // in points that the font resolution would enlarge by a third.
    void longestClockTextFits() {
        Purrtick app;
        app.seedSettings({{"widgetMode", "clock"},
                          {"clockUse24Hour", false},
                          {"clockShowSeconds", true},
                          {"clockShowAMPM", true},
                          {"timerFillColorHex", "#00FF00"}});
        QVERIFY(app.start());
        const QRect widget = geometry(app.widget());
        run("xdotool", {"mousemove", "5", "700"});
        QImage shot;
        QVERIFY(waitFor([&] { return countNear(shot = grab(widget), QColor(0, 255, 0)) > 300; }));
        screenshot("clock-12-hour-with-seconds");
        int atEdges = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x : {0, 1, 2, shot.width() - 3, shot.width() - 2, shot.width() - 1}) {
                const QColor p = shot.pixelColor(x, y);
                if (p.green() > 200 && p.red() < 80 && p.blue() < 80)
                    ++atEdges;
            }
        QCOMPARE(atEdges, 0);
        QVERIFY(app.stop());
    }

    // Launches at the same moment give exactly one widget, also when each finds a lock that no
    // running instance answers for (an earlier session's, damaged).
    void simultaneousLaunchesGiveOneWidget() {
        for (int round = 0; round < 10; ++round) {
            Purrtick app;
            if (round % 2 == 1) {
                QFile stale(QDir(app.runtimeDirectory()).filePath("purrtick.lock"));
                QVERIFY(stale.open(QIODevice::WriteOnly));
                stale.write("garbage\n");
                stale.close();
                QVERIFY(stale.open(QIODevice::ReadWrite));
                stale.setFileTime(QDateTime::currentDateTime().addSecs(-600),
                                  QFileDevice::FileModificationTime);
                stale.close();
            }
            QCOMPARE(app.launchTogether(5), 1);
            QVERIFY(waitFor([] { return widgetWindows().size() == 1; }, 5000));
            QTest::qWait(300);
            QCOMPARE(widgetWindows().size(), 1);
        }
    }

    // A desktop shortcut drives the running instance: each option has the menu command's
    // effect; --help, --version and mistakes start nothing.
    void commandLineDrivesTheRunningInstance() {
        Purrtick app;
        QString output;
        QCOMPARE(app.launchAgain(nullptr, {"--help"}, &output), 0);
        QVERIFY2(output.contains("사용법") && output.contains("--stop-alert"), qPrintable(output));
        QCOMPARE(app.launchAgain(nullptr, {"--version"}, &output), 0);
        QVERIFY(output.startsWith("Purrtick "));
        QCOMPARE(app.launchAgain(nullptr, {"--frobnicate"}, &output), 2);
        QVERIFY(output.contains("--frobnicate"));
        QCOMPARE(app.launchAgain(nullptr, {"--quit"}), 0); // none runs: nothing to end
        QVERIFY(widgetWindows().isEmpty());

        QVERIFY(app.start());
        const QRect widget = geometry(app.widget());
        const QImage idle = grab(widget);
        QCOMPARE(app.launchAgain(nullptr, {"--start"}), 0);
        QImage running;
        QVERIFY(waitFor([&] { return (running = grab(widget)) != idle; }, 3000));
        QVERIFY(waitFor([&] { return grab(widget) != running; }, 3000)); // it counts down

        QCOMPARE(app.launchAgain(nullptr, {"--hide"}), 0);
        QVERIFY(waitFor([] { return widgetWindows().isEmpty(); }, 3000));
        QCOMPARE(app.launchAgain(nullptr, {"--show"}), 0);
        QVERIFY(waitFor([] { return widgetWindows().size() == 1; }, 3000));

        QCOMPARE(app.launchAgain(nullptr, {"--quit"}), 0);
        QVERIFY(waitFor([&] { return !app.isRunning(); }, 5000));
    }

    void trayIconAppearsWhenATrayStartsLater() {
        // The session's tray host is replaced: the icon must embed itself again in the new one.
        Purrtick app;
        QVERIFY(app.start());
        QVERIFY(waitFor([] { return embeddedTrayIcon().has_value(); }));
        run("pkill", {"-x", "trayer"});
        QVERIFY(waitFor([] { return !embeddedTrayIcon().has_value(); }));
        QProcess tray;
        tray.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request",
                              "--height", "28", "--SetDockType", "true", "--SetPartialStrut",
                              "true", "--transparent", "false", "--tint", "0x303030"});
        QVERIFY(tray.waitForStarted());
        QVERIFY(waitFor([] { return embeddedTrayIcon().has_value(); }));
        QVERIFY(app.stop());
        tray.terminate();
        tray.waitForFinished();
    }
};

QTEST_MAIN(ShellTest)
#include "tst_shell_e2e.moc"
