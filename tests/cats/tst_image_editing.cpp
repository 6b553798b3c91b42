#include "cats/image_decoding.h"
#include "cats/image_editing.h"

#include <QPainter>
#include <QTest>

namespace {

// Each pixel holds its own coordinates, so a result shows where it came from.
QImage coordinates(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x, y, 0, 255));
    return image;
}

} // namespace

class ImageEditingTest : public QObject {
    Q_OBJECT
private slots:
    void crop_data() {
        QTest::addColumn<QRectF>("unit");
        QTest::addColumn<QRect>("pixels"); // empty: nothing
        QTest::newRow("whole") << QRectF(0, 0, 1, 1) << QRect(0, 0, 200, 100);
        QTest::newRow("quarter") << QRectF(0.5, 0.5, 0.5, 0.5) << QRect(100, 50, 100, 50);
        QTest::newRow("fractional start expands outwards")
            << QRectF(0.1025, 0.105, 0.2, 0.2) << QRect(20, 10, 41, 21);
        QTest::newRow("zero size at a whole pixel") << QRectF(0.5, 0.5, 0, 0) << QRect();
        QTest::newRow("zero size inside a pixel covers it")
            << QRectF(0.5025, 0.505, 0, 0) << QRect(100, 50, 1, 1);
        QTest::newRow("clipped to the picture")
            << QRectF(0.9, -0.5, 0.5, 1) << QRect(180, 0, 20, 50);
        QTest::newRow("entirely outside") << QRectF(1.5, 0, 0.5, 1) << QRect();
        QTest::newRow("negative size") << QRectF(0.5, 0.5, -0.2, 0.2) << QRect();
        QTest::newRow("absurd") << QRectF(-1e300, -1e300, 1e301, 1e301) << QRect(0, 0, 200, 100);
        QTest::newRow("nan") << QRectF(qQNaN(), 0, 1, 1) << QRect();
    }
    void crop() {
        QFETCH(QRectF, unit);
        QFETCH(QRect, pixels);
        const QImage source = coordinates(200, 100);
        const std::optional<QImage> result = ImageEditing::crop(source, unit);
        QCOMPARE(result.has_value(), !pixels.isEmpty());
        if (!result)
            return;
        QCOMPARE(result->size(), pixels.size());
        QCOMPARE(qRed(result->pixel(0, 0)), pixels.left());
        QCOMPARE(qGreen(result->pixel(0, 0)), pixels.top());
        QCOMPARE(result->devicePixelRatio(), 1.0);
    }

    void scaledRefusesNoChangeAndBadFactors_data() {
        QTest::addColumn<double>("factor");
        QTest::newRow("1.0005") << 1.0005;
        QTest::newRow("0.9995") << 0.9995;
        QTest::newRow("1") << 1.0;
        QTest::newRow("0") << 0.0;
        QTest::newRow("negative") << -2.0;
        QTest::newRow("nan") << qQNaN();
    }
    void scaledRefusesNoChangeAndBadFactors() {
        QFETCH(double, factor);
        QVERIFY(!ImageEditing::scaled(coordinates(40, 40), factor));
    }

    void scaledTwiceShowsTheCentralHalf() {
        QImage source(200, 100, QImage::Format_ARGB32_Premultiplied);
        source.fill(Qt::blue);
        QImage centre(100, 50, QImage::Format_ARGB32_Premultiplied);
        centre.fill(Qt::red);
        QPainter(&source).drawImage(50, 25, centre);
        const std::optional<QImage> result = ImageEditing::scaled(source, 2);
        QVERIFY(result);
        QCOMPARE(result->size(), source.size());
        // The central half now fills the canvas.
        for (QPoint p : {QPoint(2, 2), QPoint(197, 97), QPoint(100, 50)})
            QCOMPARE(result->pixelColor(p), QColor(Qt::red));
    }

    void scaledHalfLeavesATransparentBorder() {
        QImage source(200, 100, QImage::Format_ARGB32_Premultiplied);
        source.fill(Qt::green);
        const std::optional<QImage> result = ImageEditing::scaled(source, 0.5);
        QVERIFY(result);
        QCOMPARE(result->size(), source.size());
        QCOMPARE(qAlpha(result->pixel(48, 23)), 0);
        QCOMPARE(qAlpha(result->pixel(151, 76)), 0);
        QCOMPARE(result->pixelColor(52, 27), QColor(Qt::green));
        QCOMPARE(result->pixelColor(147, 72), QColor(Qt::green));
    }

    void pngRoundTrips() {
        QImage source = coordinates(50, 30);
        source.setPixel(3, 4, qRgba(0, 0, 0, 0));
        const std::optional<QByteArray> png = ImageEditing::pngData(source);
        QVERIFY(png);
        QVERIFY(png->startsWith("\x89PNG\r\n\x1a\n"));
        const std::optional<QImage> back = ImageDecoding::decode(*png);
        QVERIFY(back);
        QCOMPARE(*back, source);
        QVERIFY(!ImageEditing::pngData(QImage()));
    }
};

QTEST_GUILESS_MAIN(ImageEditingTest)
#include "tst_image_editing.moc"
