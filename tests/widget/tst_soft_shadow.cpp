// The blur behind the widget's shadows: three box passes over the alpha channel, colour
// channels left alone.
#include "widget/soft_shadow.h"

#include <QTest>

#include <algorithm>
#include <vector>

namespace {

// Three box passes over every pixel of the image, each value the mean of the 2r+1 about it with
// the values at the ends repeated beyond them: what the blur must give, however it gets there.
QImage plainBlur(QImage image, int radius) {
    const int w = image.width(), h = image.height(), span = 2 * radius + 1;
    auto alpha = [&](int x, int y) { return qAlpha(image.pixel(x, y)); };
    auto setAlpha = [&](int x, int y, int a) {
        const QRgb p = image.pixel(x, y);
        image.setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p), a));
    };
    for (int round = 0; round < 3; ++round) {
        for (bool horizontal : {true, false}) {
            std::vector<int> next(size_t(w) * size_t(h));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    int sum = 0;
                    for (int i = -radius; i <= radius; ++i)
                        sum += horizontal ? alpha(std::clamp(x + i, 0, w - 1), y)
                                          : alpha(x, std::clamp(y + i, 0, h - 1));
                    next[size_t(y) * size_t(w) + size_t(x)] = sum / span;
                }
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    setAlpha(x, y, next[size_t(y) * size_t(w) + size_t(x)]);
        }
    }
    return image;
}

} // namespace

class SoftShadowTest : public QObject {
    Q_OBJECT

private slots:
    // Only the covered area and the blur's reach are worked on; the result is the blur of the
    // whole image all the same, also where the ink touches an edge.
    void blursAsTheWholeImageWould_data() {
        QTest::addColumn<QRect>("ink");
        QTest::addColumn<int>("radius");
        QTest::newRow("inside") << QRect(30, 20, 9, 14) << 2;
        QTest::newRow("at the left and top edges") << QRect(0, 0, 7, 5) << 3;
        QTest::newRow("at the right and bottom edges") << QRect(50, 35, 10, 5) << 1;
        QTest::newRow("wider than the image can blur") << QRect(5, 5, 50, 30) << 6;
    }
    void blursAsTheWholeImageWould() {
        QFETCH(QRect, ink);
        QFETCH(int, radius);
        QImage image(60, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x) {
                const int a = (x * 37 + y * 91) % 256; // uneven, some pixels clear
                image.setPixel(x, y, qRgba(a / 2, a / 3, a, a));
            }
        const QImage expected = plainBlur(image, radius);
        const QRect blurred = SoftShadow::blurAlpha(image, radius);
        QCOMPARE(image, expected);
        QVERIFY(blurred.contains(SoftShadow::coverage(image)));
    }
};

QTEST_GUILESS_MAIN(SoftShadowTest)
#include "tst_soft_shadow.moc"
