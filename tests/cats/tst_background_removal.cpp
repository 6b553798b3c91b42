#include "cats/bundled_cat.h"
#include "cats/foreground_segmentation.h"
#include "cats/image_decoding.h"
#include "cats/image_editing.h"
#include "synthetic_cats.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cmath>

class BackgroundRemovalTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QTest::failOnWarning(QRegularExpression(".")); }

    void notAPictureGivesNothingQuietly() {
        QVERIFY(!ImageEditing::removeBackgroundPNG(QByteArray("hello")));
        QVERIFY(!ImageEditing::removeBackgroundPNG(QByteArray()));
    }

    void flatPictureHasNoForeground_data() {
        QTest::addColumn<QColor>("colour");
        QTest::newRow("grey") << QColor(128, 128, 128);
        QTest::newRow("white") << QColor(Qt::white);
        QTest::newRow("transparent") << QColor(Qt::transparent);
    }
    void flatPictureHasNoForeground() {
        QFETCH(QColor, colour);
        QImage flat(300, 200, QImage::Format_ARGB32_Premultiplied);
        flat.fill(colour);
        QVERIFY(!ImageEditing::removeBackgroundPNG(*ImageEditing::pngData(flat)));
    }

    void tinyPicturesDoNotBreakIt_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1x1") << QSize(1, 1);
        QTest::newRow("1x500") << QSize(1, 500);
        QTest::newRow("3x3") << QSize(3, 3);
    }
    void tinyPicturesDoNotBreakIt() {
        QFETCH(QSize, size);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::red);
        image.setPixel(0, 0, qRgba(0, 0, 255, 255));
        const auto result = ImageEditing::removeBackgroundPNG(*ImageEditing::pngData(image));
        if (result)
            QVERIFY(ImageDecoding::decode(*result));
    }

    // A cat comes out whole and trimmed, whatever it sits on. Busy drawn shapes are the hardest
    // case for GrabCut from a box (real photos decide the method, and it wins there).
    void cutsOutACat_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<double>("minimum");
        QTest::newRow("gradient") << 0 << 0.9;
        QTest::newRow("noise") << 1 << 0.9;
        QTest::newRow("stripes") << 3 << 0.9;
        QTest::newRow("similar colours") << 4 << 0.9;
        QTest::newRow("room") << 5 << 0.9;
        QTest::newRow("busy shapes, calico cat") << 33 << 0.5;
    }
    void cutsOutACat() {
        QFETCH(int, index);
        QFETCH(double, minimum);
        const SyntheticCat cat = makeSyntheticCat(index, QSize(640, 480));
        const ForegroundSegmentation::Result result = ForegroundSegmentation::cutOut(cat.picture);
        QVERIFY(result.error.isEmpty());
        QVERIFY(result.cutout);
        const double iou = intersectionOverUnion(cat, result);
        QVERIFY2(iou >= minimum, qPrintable(QString::number(iou)));

        const auto png = ImageEditing::removeBackgroundPNG(*ImageEditing::pngData(cat.picture));
        QVERIFY(png);
        const std::optional<QImage> cut = ImageDecoding::decode(*png);
        QVERIFY(cut);
        // Trimmed: smaller than the input, since the cat touches no edge.
        QVERIFY(cut->width() < cat.picture.width() && cut->height() < cat.picture.height());
        QCOMPARE(cut->size(), result.bounds.size());
        // Transparent corners, opaque centre.
        QCOMPARE(qAlpha(cut->pixel(0, 0)), 0);
        QVERIFY(cut->hasAlphaChannel());
    }

    // Where nothing stands apart from the surroundings, the built-in method says there is no
    // subject rather than cut out a guess (on real photos such guesses were patches of grass).
    void aPictureOfOnlySurroundingsHasNoSubject_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("grain") << 0;
        QTest::newRow("gradient") << 1;
    }
    void aPictureOfOnlySurroundingsHasNoSubject() {
        QFETCH(int, kind);
        QImage picture(640, 480, QImage::Format_RGB32);
        quint32 seed = 12345;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int grain = int(seed >> 27); // 0..31
                const int level = kind == 0 ? 110 + grain : 60 + x * 120 / picture.width();
                picture.setPixel(x, y, qRgb(level, level - 10, level - 25));
            }
        const ForegroundSegmentation::Result result = ForegroundSegmentation::cutOut(picture);
        QVERIFY(result.error.isEmpty());
        QVERIFY(!result.cutout);
    }

    // A soft edge shows the subject's colour, not the background's: a grey cat's outline on
    // grass leaves no green halo. The photo's edge pixels mix the two as a camera does.
    void theSoftEdgeLosesTheBackgroundsColour_data() {
        QTest::addColumn<QColor>("subject");
        QTest::addColumn<QColor>("background");
        QTest::newRow("grey on grass") << QColor(128, 128, 128) << QColor(40, 170, 30);
        QTest::newRow("ginger on a white wall") << QColor(200, 110, 40) << QColor(245, 245, 240);
    }
    void theSoftEdgeLosesTheBackgroundsColour() {
        QFETCH(QColor, subject);
        QFETCH(QColor, background);
        const QSize size(400, 300);
        QImage picture(size, QImage::Format_ARGB32_Premultiplied);
        QImage mask(size, QImage::Format_Grayscale8);
        // Subject on the right; a soft edge 20 pixels wide from x = 190.
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const double a = std::clamp((x - 190) / 20.0, 0.0, 1.0);
                auto mix = [a](int f, int b) { return int(std::lround(a * f + (1 - a) * b)); };
                picture.setPixel(x, y,
                                 qRgb(mix(subject.red(), background.red()),
                                      mix(subject.green(), background.green()),
                                      mix(subject.blue(), background.blue())));
                mask.scanLine(y)[x] = uchar(std::lround(a * 255));
            }
        const ForegroundSegmentation::Result result =
            ForegroundSegmentation::cutOutWith(picture, mask);
        QVERIFY(result.cutout);
        for (int x = 192; x < 210; x += 3) {
            const QColor shown =
                QColor::fromRgba(qUnpremultiply(result.cutout->pixel(x - result.bounds.x(), 150)));
            const int off = std::max({std::abs(shown.red() - subject.red()),
                                      std::abs(shown.green() - subject.green()),
                                      std::abs(shown.blue() - subject.blue())});
            QVERIFY2(
                off <= 12,
                qPrintable(QStringLiteral("x %1: %2 is %3 off").arg(x).arg(shown.name()).arg(off)));
        }
        // The solid subject keeps its own colour.
        QCOMPARE(result.cutout->pixel(100, 150), subject.rgb());
    }

    // Flat, smoothly shaded artwork has no fur texture to go by: colour and the border decide.
    void cutsOutBuiltInArtwork_data() {
        QTest::addColumn<int>("background");
        QTest::addColumn<double>("minimum");
        QTest::newRow("gradient") << 0 << 0.9;
        QTest::newRow("noise") << 1 << 0.9;
        QTest::newRow("busy shapes") << 2 << 0.55;
        QTest::newRow("similar colours") << 4 << 0.9;
        QTest::newRow("room") << 5 << 0.85;
    }
    void cutsOutBuiltInArtwork() {
        QFETCH(int, background);
        QFETCH(double, minimum);
        BundledCat bundled(BundledCat::findBundle());
        if (bundled.skins().isEmpty())
            QSKIP("the built-in artwork is not built");
        const QString file = *bundled.skins().first().imageFile;
        const std::optional<QImage> artwork = bundled.image(file);
        QVERIFY(artwork);
        const SyntheticCat cat = makeArtworkCat(background, *artwork, file, QSize(640, 480));
        const ForegroundSegmentation::Result result = ForegroundSegmentation::cutOut(cat.picture);
        QVERIFY(result.cutout);
        const double iou = intersectionOverUnion(cat, result);
        QVERIFY2(iou >= minimum, qPrintable(QString::number(iou)));
    }

    // A flat shape in a colour the border shows too: only its size and its standing clear of the
    // border tell it apart from the shapes around it.
    void findsALargeShapeInACommonColour() {
        const QSize size(640, 480);
        const QColor purple(100, 80, 160);
        QImage picture(size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(QColor(210, 205, 190));
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const QColor others[] = {purple, QColor(40, 120, 60), QColor(200, 60, 60), purple};
        for (int i = 0; i < 24; ++i) { // shapes along the border, half of them purple
            p.setBrush(others[i % 4]);
            const double t = i / 24.0;
            const QPointF at = t < 0.5 ? QPointF(t * 2 * size.width(), i % 2 ? 20 : 460)
                                       : QPointF(i % 2 ? 20 : 620, (t - 0.5) * 2 * size.height());
            p.drawEllipse(at, 30, 30);
        }
        QPainterPath blob;
        blob.setFillRule(Qt::WindingFill);
        blob.addEllipse(QRectF(220, 150, 220, 190));
        blob.addEllipse(QRectF(260, 90, 120, 100));
        p.fillPath(blob, purple);
        p.end();

        SyntheticCat cat;
        cat.picture = picture;
        cat.truth = QImage(size, QImage::Format_Grayscale8);
        cat.truth.fill(0);
        QPainter t(&cat.truth);
        t.setRenderHint(QPainter::Antialiasing);
        t.fillPath(blob, Qt::white);
        t.end();

        const ForegroundSegmentation::Result result = ForegroundSegmentation::cutOut(picture);
        QVERIFY(result.cutout);
        const double iou = intersectionOverUnion(cat, result);
        QVERIFY2(iou >= 0.9, qPrintable(QString::number(iou)));
    }

    // Pressing remove again on a cut-out keeps the cat: transparent surroundings are background.
    void aSecondRemovalKeepsTheCutOut() {
        const SyntheticCat cat = makeSyntheticCat(1, QSize(640, 480));
        const ForegroundSegmentation::Result first = ForegroundSegmentation::cutOut(cat.picture);
        QVERIFY(first.cutout);
        const ForegroundSegmentation::Result second = ForegroundSegmentation::cutOut(*first.cutout);
        QVERIFY(second.cutout);
        // The first cut-out's own alpha is the truth for the second.
        SyntheticCat again;
        again.picture = *first.cutout;
        again.truth = first.cutout->convertToFormat(QImage::Format_Alpha8);
        QVERIFY(again.truth.reinterpretAsFormat(QImage::Format_Grayscale8));
        const double iou = intersectionOverUnion(again, second);
        QVERIFY2(iou > 0.95, qPrintable(QString::number(iou)));
    }

    void cancelledWorkGivesNothing() {
        const SyntheticCat cat = makeSyntheticCat(0, QSize(320, 240));
        std::atomic<bool> cancelled{true};
        QVERIFY(
            !ImageEditing::removeBackgroundPNG(*ImageEditing::pngData(cat.picture), &cancelled));
    }
};

QTEST_MAIN(BackgroundRemovalTest)
#include "tst_background_removal.moc"
