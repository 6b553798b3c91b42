// The blur behind the widget's shadows: it spreads alpha evenly and keeps its total, and
// leaves the colour channels alone.
#include "widget/soft_shadow.h"

#include <QTest>

class SoftShadowTest : public QObject {
    Q_OBJECT

private slots:
    void spreadsEvenlyAndKeepsTheTotal_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("radius");
        QTest::newRow("square") << QSize(41, 41) << 3;
        QTest::newRow("wide") << QSize(90, 31) << 5;
        QTest::newRow("tall") << QSize(31, 90) << 2;
    }
    void spreadsEvenlyAndKeepsTheTotal() {
        QFETCH(QSize, size);
        QFETCH(int, radius);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        const QPoint centre(size.width() / 2, size.height() / 2);
        // An opaque 5 × 5 block in the middle, far enough from every edge.
        for (int y = -2; y <= 2; ++y)
            for (int x = -2; x <= 2; ++x)
                image.setPixel(centre + QPoint(x, y), qRgba(255, 255, 255, 255));
        const QImage before = image;
        SoftShadow::blurAlpha(image, radius);

        qint64 total = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                total += qAlpha(image.pixel(x, y));
        // Integer division loses a little on each of the six passes, more over a wider span.
        QVERIFY2(total > 25 * 255 * 0.75 && total <= 25 * 255, qPrintable(QString::number(total)));
        // Symmetric about the centre, highest there, spread as far as three passes reach.
        const int reach = 3 * radius + 2;
        for (int d = 1; d <= reach; ++d) {
            QCOMPARE(qAlpha(image.pixel(centre + QPoint(d, 0))),
                     qAlpha(image.pixel(centre - QPoint(d, 0))));
            QCOMPARE(qAlpha(image.pixel(centre + QPoint(0, d))),
                     qAlpha(image.pixel(centre - QPoint(0, d))));
        }
        QVERIFY(qAlpha(image.pixel(centre)) >= qAlpha(image.pixel(centre + QPoint(reach / 2, 0))));
        QVERIFY(qAlpha(image.pixel(centre + QPoint(radius + 2, 0))) > 0);
        QVERIFY(qAlpha(image.pixel(centre + QPoint(0, radius + 2))) > 0);
        QCOMPARE(qAlpha(image.pixel(centre + QPoint(reach + 1, 0))), 0);
        QCOMPARE(qAlpha(image.pixel(centre + QPoint(0, reach + 1))), 0);
        // Colour channels are as they were.
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                QCOMPARE(image.pixel(x, y) & 0x00ffffff, before.pixel(x, y) & 0x00ffffff);
    }
};

QTEST_GUILESS_MAIN(SoftShadowTest)
#include "tst_soft_shadow.moc"
