// Where the widget's parts sit, computed without a window or a paint.
#include "widget/widget_geometry.h"

#include <QTest>

#include <cmath>

namespace {

WidgetGeometry geometryFor(WidgetGeometry::Input input) {
    WidgetGeometry geometry;
    geometry.setInput(std::move(input));
    return geometry;
}

} // namespace

class WidgetGeometryTest : public QObject {
    Q_OBJECT

private slots:
    // The cat turned by any angle is scaled down just enough to stay inside the widget.
    void fitUnderRotation_data() {
        QTest::addColumn<double>("degrees");
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("expected");
        QTest::newRow("upright") << 0.0 << 1.0 << 1.0;
        QTest::newRow("45 degrees") << 45.0 << 1.0 << 180.0 / (std::sqrt(2.0) * 153.6);
        QTest::newRow("45 degrees at scale 2") << 45.0 << 2.0 << 180.0 / (std::sqrt(2.0) * 153.6);
        QTest::newRow("90 degrees") << 90.0 << 1.0 << 1.0;
    }
    void fitUnderRotation() {
        QFETCH(double, degrees);
        QFETCH(double, scale);
        QFETCH(double, expected);
        const WidgetGeometry geometry = geometryFor({.scale = scale, .rotation = degrees});
        const QSizeF figure = geometry.catContentSize(false);
        QCOMPARE(figure, QSizeF(96 * 1.6 * scale, 96 * 1.6 * scale));
        QVERIFY(std::abs(geometry.catFitScale(figure) - expected) < 1e-9);
        QCOMPARE(geometry.catFitScale(QSizeF(0, 0)), 1.0);
        // Turned about the widget's centre, the fitted cat's corners stay inside.
        const QRectF drawn =
            geometry.catTransform(figure, degrees)
                .mapRect(QRectF(geometry.centre() - QPointF(figure.width(), figure.height()) / 2,
                                figure));
        QVERIFY(geometry.bounds().adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(drawn));
    }

    // The text's centre keeps the text off the edges of the photo's frame; where the text is
    // too large for that it sits in the middle. The stored position is never changed by it.
    void textCentreClamp_data() {
        QTest::addColumn<QPointF>("stored");
        QTest::addColumn<double>("font");
        QTest::addColumn<QPointF>("expected");
        // "25:00": 5 characters, half width 0.31·f·5, half height 0.62·f.
        QTest::newRow("inside") << QPointF(0.5, 0.5) << 30.0 << QPointF(90, 95);
        QTest::newRow("corner") << QPointF(0, 0) << 30.0 << QPointF(46.5, 18.6);
        QTest::newRow("far corner") << QPointF(1, 1) << 30.0 << QPointF(180 - 46.5, 190 - 18.6);
        QTest::newRow("too wide: centred") << QPointF(0.1, 0.5) << 90.0 << QPointF(90, 95);
    }
    void textCentreClamp() {
        QFETCH(QPointF, stored);
        QFETCH(double, font);
        QFETCH(QPointF, expected);
        const WidgetGeometry geometry =
            geometryFor({.timerPos = stored, .timerFontSize = font, .text = "25:00"});
        const QPointF centre = geometry.clampedTimerCenter(QRectF(0, 0, 180, 190));
        QVERIFY2(std::abs(centre.x() - expected.x()) < 1e-9 &&
                     std::abs(centre.y() - expected.y()) < 1e-9,
                 qPrintable(QString("%1,%2").arg(centre.x()).arg(centre.y())));
    }

    // A photo is fitted into the widget, centred; the text keeps within the photo's frame.
    void photoFrame_data() {
        QTest::addColumn<QSizeF>("photo");
        QTest::addColumn<QRectF>("frame");
        QTest::newRow("none") << QSizeF() << QRectF(0, 0, 180, 190);
        QTest::newRow("tall") << QSizeF(100, 200) << QRectF(42.5, 0, 95, 190);
        QTest::newRow("wide") << QSizeF(360, 100) << QRectF(0, 70, 180, 50);
        QTest::newRow("empty") << QSizeF(0, 0) << QRectF(0, 0, 180, 190);
    }
    void photoFrame() {
        QFETCH(QSizeF, photo);
        QFETCH(QRectF, frame);
        const WidgetGeometry geometry =
            geometryFor({.scale = 2.0,
                         .photoSize = photo.isValid() ? std::optional(photo) : std::nullopt,
                         .timerPos = QPointF(0, 0),
                         .text = "25:00"});
        QCOMPARE(geometry.contentRect(), frame);
        const QRectF text = geometry.textRect();
        QVERIFY(text.center().x() >= frame.left() * 2 && text.center().y() >= frame.top() * 2);
    }

    // The size the text is drawn at shrinks only where the chosen one would run past the
    // sides, outline and margin included; the measure follows the text, its size and face.
    void textShrinksOnlyWhereItWouldNotFit() {
        WidgetGeometry geometry = geometryFor({.timerFontSize = 30, .text = "25:00"});
        QCOMPARE(geometry.fontSize(), 30.0);
        const double narrow = geometry.textSize().width();
        geometry.setInput({.timerFontSize = 90, .text = "10:58:58 PM"});
        QVERIFY(geometry.fontSize() < 90);
        // With its outline, within the widget's sides (in proportion, give or take the hinting
        // of the advances).
        const double drawn = geometry.textSize().width() + 2 * geometry.outlineWidth();
        QVERIFY2(drawn <= 180 && drawn > 160, qPrintable(QString::number(drawn)));
        geometry.setInput({.timerFontSize = 30, .text = "25:00"});
        QCOMPARE(geometry.textSize().width(), narrow);
    }
};

QTEST_MAIN(WidgetGeometryTest)
#include "tst_widget_geometry.moc"
