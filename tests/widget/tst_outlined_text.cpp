#include "settings/timer_font.h"
#include "widget/animated_value.h"
#include "widget/outlined_text.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

namespace {

int countColour(const QImage& image, QColor colour, int tolerance = 30) {
    const QImage plain = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const QColor p = plain.pixelColor(x, y);
            if (p.alpha() > 220 && std::abs(p.red() - colour.red()) < tolerance &&
                std::abs(p.green() - colour.green()) < tolerance &&
                std::abs(p.blue() - colour.blue()) < tolerance)
                ++count;
        }
    return count;
}

// The horizontal extent of the pixels the text's fill colour covers, in logical pixels.
double paintedGreenWidth(const OutlinedText::Rendering& r) {
    const QImage plain = r.image.convertToFormat(QImage::Format_ARGB32);
    int left = plain.width(), right = -1;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const QColor p = plain.pixelColor(x, y);
            if (p.alpha() > 200 && p.green() > 200 && p.red() < 60 && p.blue() < 60) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    return right < left ? 0.0 : (right - left + 1) / r.image.devicePixelRatio();
}

} // namespace

class OutlinedTextTest : public QObject {
    Q_OBJECT

private slots:
    void outlineOffsetsInOrder() {
        const QList<QPointF> offsets = OutlinedText::outlineOffsets(3);
        QCOMPARE(
            offsets,
            (QList<QPointF>{{3, 0}, {-3, 0}, {0, 3}, {0, -3}, {3, 3}, {-3, 3}, {3, -3}, {-3, -3}}));
    }

    void layersAndShadow_data() {
        QTest::addColumn<bool>("outline");
        QTest::newRow("with outline") << true;
        QTest::newRow("without outline") << false;
    }
    void layersAndShadow() {
        QFETCH(bool, outline);
        const TimerTextStyle style{QColor(0, 255, 0), QColor(255, 0, 255), 3.0,
                                   TimerFontStyle::rounded, outline};
        const OutlinedText::Rendering r = OutlinedText::render("25:00", 40, style, 1.0);
        QVERIFY(countColour(r.image, QColor(0, 255, 0)) > 200);
        QCOMPARE(countColour(r.image, QColor(255, 0, 255)) > 100, outline);
        // The shadow: translucent dark pixels beneath, outside the glyphs.
        const QImage plain = r.image.convertToFormat(QImage::Format_ARGB32);
        int shadow = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                const QColor p = plain.pixelColor(x, y);
                if (p.alpha() > 10 && p.alpha() < 160 && p.lightness() < 40)
                    ++shadow;
            }
        QVERIFY(shadow > 50);
    }

    void digitsHaveEqualCells() {
        // Every digit takes the same width, so the text does not jitter while counting.
        const QSizeF ones = OutlinedText::measure("11:11", 40, TimerFontStyle::rounded);
        const QSizeF eights = OutlinedText::measure("88:88", 40, TimerFontStyle::rounded);
        QCOMPARE(ones.width(), eights.width());
        QVERIFY(ones.width() > 40);
    }

    // Sizes are logical pixels of the 180 × 190 widget, whatever resolution Qt converts point
    // sizes at (96 dpi after its own high-dpi scaling, so a point would be 1.33 pixels). The
    // reference font is set in whole pixels, which Qt never converts.
    void sizeIsInLogicalPixelsAtAnyResolution_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("size");
        QTest::addColumn<TimerFontStyle>("font");
        QTest::newRow("countdown, default size") << "25:00" << 30.0 << TimerFontStyle::rounded;
        QTest::newRow("clock with seconds, AM/PM")
            << "12:02:12 PM" << 30.0 << TimerFontStyle::rounded;
        QTest::newRow("large monospaced") << "88:88" << 50.0 << TimerFontStyle::monospaced;
        QTest::newRow("serif") << "10:45" << 40.0 << TimerFontStyle::serif;
    }
    void sizeIsInLogicalPixelsAtAnyResolution() {
        QFETCH(QString, text);
        QFETCH(double, size);
        QFETCH(TimerFontStyle, font);
        QImage device(1, 1, QImage::Format_ARGB32);
        QFont reference = timerFont(font, size, QFont::Black, device);
        reference.setPixelSize(int(size));
        const QFontMetricsF metrics(reference, &device);
        QCOMPARE(OutlinedText::measure(text, size, font).height(), metrics.height());
        double digitCell = 0;
        for (const QChar digit : QStringLiteral("0123456789"))
            digitCell = std::max(digitCell, metrics.horizontalAdvance(digit));
        double expectedWidth = 0;
        for (const QChar c : text)
            expectedWidth += c.isDigit() ? digitCell : metrics.horizontalAdvance(c);
        const double measured = OutlinedText::measure(text, size, font).width();
        QVERIFY2(std::abs(measured - expectedWidth) < 0.5,
                 qPrintable(QString("%1 vs %2").arg(measured).arg(expectedWidth)));

        // What is painted matches what is measured, at 1x and 2x.
        const TimerTextStyle style{QColor(0, 255, 0), Qt::black, 2.0, font, false};
        for (qreal ratio : {1.0, 2.0}) {
            const double painted =
                paintedGreenWidth(OutlinedText::render(text, size, style, ratio));
            QVERIFY2(painted > 0.8 * measured && painted <= measured + 2,
                     qPrintable(QString("painted %1, measured %2").arg(painted).arg(measured)));
        }
    }

    // The rounded style asks for the heaviest weight; with the ExtraBold face installed it must
    // be the one drawn, not the Bold one.
    void roundedUsesItsHeaviestInstalledFace() {
        const QStringList styles = QFontDatabase::styles(QStringLiteral("NanumSquareRound"));
        if (!styles.contains(QStringLiteral("ExtraBold")))
            QSKIP("NanumSquareRound ExtraBold is not installed (Debian fonts-nanum-extra)");
        QImage device(1, 1, QImage::Format_ARGB32);
        const QFontInfo info(timerFont(TimerFontStyle::rounded, 30, QFont::Black, device));
        QCOMPARE(info.family(), QStringLiteral("NanumSquareRound"));
        QCOMPARE(info.styleName(), QStringLiteral("ExtraBold"));
    }

    void renderingAtTwiceTheRatio() {
        const TimerTextStyle style{Qt::white, Qt::black, 2.0, TimerFontStyle::monospaced, true};
        const auto one = OutlinedText::render("12:34", 30, style, 1.0);
        const auto two = OutlinedText::render("12:34", 30, style, 2.0);
        QCOMPARE(two.image.devicePixelRatio(), 2.0);
        QVERIFY(std::abs(two.image.width() - 2 * one.image.width()) <= 2);
        QCOMPARE(one.textSize, two.textSize);
    }

    void cacheReturnsTheSameRendering() {
        const TimerTextStyle style{Qt::white, Qt::black, 2.7, TimerFontStyle::rounded, true};
        const QImage* first = &OutlinedText::cached("00:01", 30, style, 1.0).image;
        const qint64 key = first->cacheKey();
        QCOMPARE(OutlinedText::cached("00:01", 30, style, 1.0).image.cacheKey(), key);
        QVERIFY(OutlinedText::cached("00:02", 30, style, 1.0).image.cacheKey() != key);
    }

    // A countdown asks for a new text each second; the cache draws only the glyphs that differ
    // from the text before, in its pixels when nobody else holds them. Whatever came before, a
    // cached text is exactly what render() draws, a rendering someone still holds is never
    // drawn over, and every pixel that differs from the text before lies in its changed area.
    void cachedTextsMatchFreshRenderings_data() {
        QTest::addColumn<TimerFontStyle>("font");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("rounded 2x") << TimerFontStyle::rounded << 2.0;
        QTest::newRow("rounded 1x") << TimerFontStyle::rounded << 1.0;
        QTest::newRow("handwriting, leaning") << TimerFontStyle::handwriting << 2.0;
        QTest::newRow("chalkboard") << TimerFontStyle::chalkboard << 1.0;
        QTest::newRow("serif") << TimerFontStyle::serif << 1.5;
    }
    void cachedTextsMatchFreshRenderings() {
        QFETCH(TimerFontStyle, font);
        QFETCH(qreal, ratio);
        const TimerTextStyle style{Qt::yellow, Qt::black, 2.7, font, true};
        const QImage held = OutlinedText::cached("59:59", 30, style, ratio).image;
        const QStringList texts{"59:58", "10:00", "9:59", "9:58", "1:00:00", "0:01", "0:00",
                                "8:88",  "8:81",  "1:81", "1:11", "1:17",    "7:17"};
        QString before = "59:59";
        for (const QString& text : texts) {
            const QImage fresh = OutlinedText::render(text, 30, style, ratio).image;
            QCOMPARE(OutlinedText::cached(text, 30, style, ratio).image, fresh);
            const QImage previous = OutlinedText::render(before, 30, style, ratio).image;
            const auto changed = OutlinedText::changedArea(before, text, 30, style, ratio);
            if (changed && previous.size() == fresh.size()) {
                const QPointF origin = OutlinedText::render(text, 30, style, ratio).center -
                                       QPointF(OutlinedText::measure(text, 30, font).width(),
                                               OutlinedText::measure(text, 30, font).height()) /
                                           2;
                const QRectF area = changed->translated(origin);
                for (int y = 0; y < fresh.height(); ++y)
                    for (int x = 0; x < fresh.width(); ++x)
                        if (fresh.pixel(x, y) != previous.pixel(x, y))
                            QVERIFY2(
                                area.contains(QPointF(x + 0.5, y + 0.5) / ratio),
                                qPrintable(
                                    QString("%1 to %2 at %3,%4").arg(before, text).arg(x).arg(y)));
            }
            before = text;
        }
        QCOMPARE(held, OutlinedText::render("59:59", 30, style, ratio).image);
    }

    // The largest clock text at the largest size on a 2x screen needs more glyph pixels than the
    // glyph cache keeps, so its first glyphs leave the cache before its last ones are drawn.
    void aTextLargerThanTheGlyphCacheIsDrawnWhole() {
        const TimerTextStyle style{QColor(0, 255, 0), Qt::black, 24.0, TimerFontStyle::rounded,
                                   true};
        const OutlinedText::Rendering r = OutlinedText::render("12:00:00 PM", 270, style, 2.0);
        const QImage plain = r.image.convertToFormat(QImage::Format_ARGB32);
        auto greenIn = [&](double fromPoints, double toPoints) {
            const QRect band(int(fromPoints * 2), 0, int((toPoints - fromPoints) * 2),
                             plain.height());
            int count = 0;
            for (int y = band.top(); y <= band.bottom(); y += 2)
                for (int x = band.left(); x <= band.right(); x += 2)
                    count += qGreen(plain.pixel(x, y)) > 200 && qRed(plain.pixel(x, y)) < 60;
            return count;
        };
        const double left = r.center.x() - r.textSize.width() / 2;
        const double right = r.center.x() + r.textSize.width() / 2;
        QVERIFY(greenIn(left, left + 0.08 * r.textSize.width()) > 100);   // the "1"
        QVERIFY(greenIn(right - 0.08 * r.textSize.width(), right) > 100); // the "M"
    }

    // The alert's pulse: an oscillation runs until it is finished (back where it started) or
    // given a new target, and reports each step.
    void oscillationEndsWhereItStartedOrAtANewTarget() {
        AnimatedValue value(1.0);
        int steps = 0;
        value.onChanged = [&] { ++steps; };
        value.oscillateTo(0.45, 0.5, 6);
        QVERIFY(value.isAnimating());
        QTRY_VERIFY(steps >= 2);
        QVERIFY(value.value() >= 0.45 && value.value() <= 1.0);
        value.finish();
        QVERIFY(!value.isAnimating());
        QCOMPARE(value.value(), 1.0);
        QCOMPARE(value.target(), 1.0);

        value.oscillateTo(0.45, 0.5, 6);
        value.animateTo(0.2, AnimatedValue::Motion::jump());
        QVERIFY(!value.isAnimating());
        QCOMPARE(value.value(), 0.2);
    }

    void springSettles_data() {
        QTest::addColumn<double>("fraction");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("start") << 0.0 << 0.0 << 0.0;
        QTest::newRow("one response") << 0.4 << 0.98 << 0.999;
        QTest::newRow("end") << 1.0 << 1.0 << 1.0;
    }
    void springSettles() {
        QFETCH(double, fraction);
        QFETCH(double, low);
        QFETCH(double, high);
        const double x = AnimatedValue::springProgress(fraction);
        QVERIFY2(x >= low - 1e-12 && x <= high + 1e-12, qPrintable(QString::number(x)));
        // Critically damped: never overshoots.
        for (double t = 0; t <= 1.0; t += 0.01)
            QVERIFY(AnimatedValue::springProgress(t) <= 1.0 + 1e-12);
    }
};

QTEST_MAIN(OutlinedTextTest)
#include "tst_outlined_text.moc"
