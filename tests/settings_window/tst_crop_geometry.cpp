#include "settings_window/crop_geometry.h"

#include <QTest>

using CropGeometry::Corner;
Q_DECLARE_METATYPE(Corner)

namespace {
bool near(const QRectF& a, const QRectF& b) {
    return std::abs(a.x() - b.x()) < 1e-9 && std::abs(a.y() - b.y()) < 1e-9 &&
           std::abs(a.width() - b.width()) < 1e-9 && std::abs(a.height() - b.height()) < 1e-9;
}
} // namespace

class CropGeometryTest : public QObject {
    Q_OBJECT
private slots:
    void fit_data() {
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<QRectF>("fit");
        QTest::newRow("wide") << QSizeF(800, 200) << QRectF(0, 120, 400, 100);
        QTest::newRow("tall") << QSizeF(100, 680) << QRectF(175, 0, 50, 340);
        QTest::newRow("no width") << QSizeF(0, 100) << QRectF(0, 0, 400, 340);
        QTest::newRow("no height") << QSizeF(100, 0) << QRectF(0, 0, 400, 340);
    }
    void fit() {
        QFETCH(QSizeF, picture);
        QFETCH(QRectF, fit);
        QCOMPARE(CropGeometry::fitRect(QSizeF(400, 340), picture), fit);
    }

    void move_data() {
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<QRectF>("result");
        QTest::newRow("inside") << 0.1 << -0.1 << QRectF(0.3, 0.1, 0.5, 0.4);
        QTest::newRow("past left") << -5.0 << 0.0 << QRectF(0, 0.2, 0.5, 0.4);
        QTest::newRow("past right") << 5.0 << 0.0 << QRectF(0.5, 0.2, 0.5, 0.4);
        QTest::newRow("past top") << 0.0 << -5.0 << QRectF(0.2, 0, 0.5, 0.4);
        QTest::newRow("past bottom") << 0.0 << 5.0 << QRectF(0.2, 0.6, 0.5, 0.4);
        QTest::newRow("corner") << 9.0 << 9.0 << QRectF(0.5, 0.6, 0.5, 0.4);
    }
    void move() {
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(QRectF, result);
        QVERIFY(near(CropGeometry::moved(QRectF(0.2, 0.2, 0.5, 0.4), dx, dy), result));
    }

    void resize_data() {
        QTest::addColumn<Corner>("corner");
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<QRectF>("result");
        const QRectF whole(0, 0, 1, 1);
        QTest::newRow("tl beyond br") << Corner::tl << 3.0 << 3.0 << QRectF(0.88, 0.88, 0.12, 0.12);
        QTest::newRow("br beyond tl") << Corner::br << -3.0 << -3.0 << QRectF(0, 0, 0.12, 0.12);
        QTest::newRow("tr outside") << Corner::tr << 1.0 << -1.0 << whole;
        QTest::newRow("bl inwards") << Corner::bl << 0.25 << -0.25 << QRectF(0.25, 0, 0.75, 0.75);
        QTest::newRow("tl inwards") << Corner::tl << 0.1 << 0.2 << QRectF(0.1, 0.2, 0.9, 0.8);
    }
    void resize() {
        QFETCH(Corner, corner);
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(QRectF, result);
        const QRectF r = CropGeometry::resized(QRectF(0, 0, 1, 1), corner, dx, dy);
        QVERIFY2(near(r, result), qPrintable(QStringLiteral("%1 %2 %3 %4")
                                                 .arg(r.x())
                                                 .arg(r.y())
                                                 .arg(r.width())
                                                 .arg(r.height())));
    }
};

QTEST_APPLESS_MAIN(CropGeometryTest)
#include "tst_crop_geometry.moc"
