#include "app/desktop_screens.h"
#include "app/panel_geometry.h"

#include <QTest>

using PanelGeometry::Screen;
using PanelGeometry::Screens;

Q_DECLARE_METATYPE(Screens)
Q_DECLARE_METATYPE(std::optional<QPointF>)

namespace {

// A 1280 × 800 screen with a 28-point bar along its top, as panel coordinates (y up).
Screen laptop(double x = 0, double y = 0) {
    return {QRectF(x, y, 1280, 800), QRectF(x, y, 1280, 772)};
}

Screens only(const Screen& screen) {
    return {{screen}, screen};
}

// The laptop with a second 1920 × 1080 screen to its right, bottoms aligned.
Screens twoScreens() {
    const Screen right{QRectF(1280, 0, 1920, 1080), QRectF(1280, 40, 1920, 1040)};
    return {{laptop(), right}, laptop()};
}

} // namespace

class PanelGeometryTest : public QObject {
    Q_OBJECT

private slots:
    void clampedToScreen_data() {
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QRectF>("expected");

        const Screens one = only(laptop());
        QTest::newRow("inside stays")
            << one << QRectF(100, 100, 180, 190) << QRectF(100, 100, 180, 190);
        QTest::newRow("past the left edge")
            << one << QRectF(-50, 100, 180, 190) << QRectF(0, 100, 180, 190);
        QTest::newRow("past the right edge")
            << one << QRectF(1200, 100, 180, 190) << QRectF(1100, 100, 180, 190);
        QTest::newRow("below the bottom")
            << one << QRectF(100, -30, 180, 190) << QRectF(100, 0, 180, 190);
        QTest::newRow("under the top bar")
            << one << QRectF(100, 700, 180, 190) << QRectF(100, 582, 180, 190);
        QTest::newRow("on the visible edges exactly")
            << one << QRectF(1100, 582, 180, 190) << QRectF(1100, 582, 180, 190);
        QTest::newRow("wider than the screen: left edges aligned")
            << one << QRectF(300, 100, 1400, 190) << QRectF(0, 100, 1400, 190);
        QTest::newRow("as wide as the screen: left edges aligned")
            << one << QRectF(300, 100, 1280, 190) << QRectF(0, 100, 1280, 190);
        QTest::newRow("taller than the visible area: tops aligned, bottom hangs below")
            << one << QRectF(100, 50, 180, 900) << QRectF(100, 772 - 900, 180, 900);
        QTest::newRow("far away: pulled to the first screen")
            << one << QRectF(5000, 5000, 180, 190) << QRectF(1100, 582, 180, 190);

        const Screens two = twoScreens();
        QTest::newRow("mostly on the second screen")
            << two << QRectF(1250, 500, 180, 190) << QRectF(1280, 500, 180, 190);
        QTest::newRow("mostly on the first screen")
            << two << QRectF(1150, 500, 180, 190) << QRectF(1100, 500, 180, 190);
        QTest::newRow("tie between the screens: the first listed wins")
            << two << QRectF(1190, 500, 180, 190) << QRectF(1100, 500, 180, 190);
        QTest::newRow("second screen's own bottom panel")
            << two << QRectF(2000, 10, 180, 190) << QRectF(2000, 40, 180, 190);

        const Screens reversed{{two.all.at(1), two.all.at(0)}, laptop()};
        QTest::newRow("tie with the order reversed: again the first listed")
            << reversed << QRectF(1190, 500, 180, 190) << QRectF(1280, 500, 180, 190);
        QTest::newRow("touching no screen: the first listed")
            << reversed << QRectF(-900, -900, 180, 190) << QRectF(1280, 40, 180, 190);

        QTest::newRow("no screen list: the main screen")
            << Screens{{}, laptop()} << QRectF(-50, 100, 180, 190) << QRectF(0, 100, 180, 190);
        QTest::newRow("no screens at all: unchanged")
            << Screens{} << QRectF(-50, 100, 180, 190) << QRectF(-50, 100, 180, 190);
    }
    void clampedToScreen() {
        QFETCH(Screens, screens);
        QFETCH(QRectF, rect);
        QFETCH(QRectF, expected);
        QCOMPARE(PanelGeometry::clampedToScreen(rect, screens), expected);
    }

    void isVisibleOnAnyScreen_data() {
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<QPointF>("origin");
        QTest::addColumn<bool>("expected");

        const Screens one = only(laptop());
        QTest::newRow("fully on screen") << one << QPointF(100, 100) << true;
        QTest::newRow("exactly half off the right edge") << one << QPointF(1190, 100) << true;
        QTest::newRow("just over half off the right edge") << one << QPointF(1191, 100) << false;
        QTest::newRow("exactly half below the bottom") << one << QPointF(100, -90) << true;
        QTest::newRow("under the top bar counts (full frame)") << one << QPointF(100, 700) << true;
        QTest::newRow("a quarter in a corner") << one << QPointF(-90, -90) << false;
        QTest::newRow("far away") << one << QPointF(4000, 100) << false;
        QTest::newRow("half on each of two screens") << twoScreens() << QPointF(1190, 100) << true;
        QTest::newRow("on the second screen only") << twoScreens() << QPointF(2500, 900) << true;
        QTest::newRow("no screens") << Screens{{}, laptop()} << QPointF(100, 100) << false;
    }
    void isVisibleOnAnyScreen() {
        QFETCH(Screens, screens);
        QFETCH(QPointF, origin);
        QFETCH(bool, expected);
        QCOMPARE(PanelGeometry::isVisibleOnAnyScreen(origin, screens), expected);
    }

    void restoredFrame_data() {
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<std::optional<QPointF>>("saved");
        QTest::addColumn<QRectF>("current");
        QTest::addColumn<QRectF>("expected");

        const Screens one = only(laptop());
        const QRectF square(0, 0, 180, 180);
        const QPointF topRight(1280 - 220, 772 - 220);
        QTest::newRow("first launch: top-right, 40 in")
            << one << std::optional<QPointF>() << square << QRectF(topRight, square.size());
        QTest::newRow("saved and on screen")
            << one << std::optional(QPointF(300, 200)) << square << QRectF(300, 200, 180, 180);
        QTest::newRow("saved, more than half on: pushed inside")
            << one << std::optional(QPointF(1150, 100)) << square << QRectF(1100, 100, 180, 180);
        QTest::newRow("saved under the top bar: pushed below it")
            << one << std::optional(QPointF(300, 700)) << square << QRectF(300, 592, 180, 180);
        QTest::newRow("saved, less than half on: back to the top-right")
            << one << std::optional(QPointF(1200, 100)) << square
            << QRectF(topRight, square.size());
        QTest::newRow("screen gone since: back to the main screen")
            << one << std::optional(QPointF(2500, 300)) << square
            << QRectF(topRight, square.size());
        QTest::newRow("larger panel: 40 in for a 180 panel, then clamped")
            << one << std::optional<QPointF>() << QRectF(0, 0, 360, 380)
            << QRectF(1280 - 360, 772 - 380, 360, 380);
        QTest::newRow("no main screen: the first screen")
            << Screens{{laptop(1280, 0)}, std::nullopt} << std::optional<QPointF>() << square
            << QRectF(1280 + 1280 - 220, 552, 180, 180);
        QTest::newRow("no screens: stays where it is")
            << Screens{} << std::optional(QPointF(5, 5)) << QRectF(7, 8, 180, 180)
            << QRectF(7, 8, 180, 180);
        QTest::newRow("saved on the second screen")
            << twoScreens() << std::optional(QPointF(2000, 500)) << square
            << QRectF(2000, 500, 180, 180);
    }
    void restoredFrame() {
        QFETCH(Screens, screens);
        QFETCH(std::optional<QPointF>, saved);
        QFETCH(QRectF, current);
        QFETCH(QRectF, expected);
        QCOMPARE(PanelGeometry::restoredFrame(saved, current, screens), expected);
    }

    void resizedFrame_data() {
        QTest::addColumn<QRectF>("current");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QRectF>("expected");

        QTest::newRow("scale 1 keeps the top edge")
            << QRectF(1060, 552, 180, 180) << 1.0 << QRectF(1060, 542, 180, 190);
        QTest::newRow("scale 2 grows down and right, then pushed inside")
            << QRectF(1060, 542, 180, 190) << 2.0 << QRectF(920, 352, 360, 380);
        QTest::newRow("shrinking keeps the top-left")
            << QRectF(100, 300, 360, 380) << 0.6 << QRectF(100, 566, 108, 114);
        QTest::newRow("growing past the bottom: moved up")
            << QRectF(100, 10, 180, 190) << 2.0 << QRectF(100, 0, 360, 380);
        QTest::newRow("taller than the visible area: tops aligned")
            << QRectF(100, 300, 180, 190) << 4.5 << QRectF(100, 772 - 855, 810, 855);
    }
    void resizedFrame() {
        QFETCH(QRectF, current);
        QFETCH(double, scale);
        QFETCH(QRectF, expected);
        const QRectF actual = PanelGeometry::resizedFrame(current, scale, only(laptop()));
        QCOMPARE(actual.topLeft(), expected.topLeft());
        QCOMPARE(actual.size(), expected.size());
    }

    void coordinateConversion_data() {
        QTest::addColumn<QRect>("mainFrame");
        QTest::addColumn<QRect>("qtRect");
        QTest::addColumn<QRectF>("panelRect");

        const QRect primary(0, 0, 1280, 800);
        QTest::newRow("top-left corner")
            << primary << QRect(0, 0, 180, 190) << QRectF(0, 610, 180, 190);
        QTest::newRow("bottom-left corner")
            << primary << QRect(0, 610, 180, 190) << QRectF(0, 0, 180, 190);
        QTest::newRow("default place")
            << primary << QRect(1060, 68, 180, 190) << QRectF(1060, 542, 180, 190);
        QTest::newRow("screen above the main one")
            << primary << QRect(0, -1080, 1920, 1080) << QRectF(0, 800, 1920, 1080);
        QTest::newRow("main screen not at the Qt origin")
            << QRect(1920, 200, 1280, 800) << QRect(1920, 200, 1280, 800)
            << QRectF(0, 0, 1280, 800);
    }
    void coordinateConversion() {
        QFETCH(QRect, mainFrame);
        QFETCH(QRect, qtRect);
        QFETCH(QRectF, panelRect);
        QCOMPARE(DesktopScreens::toPanelCoordinates(qtRect, mainFrame), panelRect);
        QCOMPARE(DesktopScreens::toQtCoordinates(panelRect, mainFrame), qtRect);
    }
};

QTEST_GUILESS_MAIN(PanelGeometryTest)
#include "tst_panel_geometry.moc"
