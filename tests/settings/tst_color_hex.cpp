#include "settings/color_hex.h"

#include <QTest>

class ColorHexTest : public QObject {
    Q_OBJECT
private slots:
    void parses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QColor>("color");
        QTest::newRow("opaque") << "#FF0000" << true << QColor(255, 0, 0);
        QTest::newRow("alpha last") << "#FF000080" << true << QColor(255, 0, 0, 128);
        QTest::newRow("no hash, lower case, spaces") << "  ff0000 \n" << true << QColor(255, 0, 0);
        QTest::newRow("mixed case") << "#aBcDeF" << true << QColor(0xAB, 0xCD, 0xEF);
        QTest::newRow("transparent") << "#12345600" << true << QColor(0x12, 0x34, 0x56, 0);
        QTest::newRow("three digits") << "#F00" << false << QColor();
        QTest::newRow("ten digits") << "#FF00000000" << false << QColor();
        QTest::newRow("empty") << "" << false << QColor();
        QTest::newRow("hash only") << "#" << false << QColor();
        QTest::newRow("two hashes") << "##FF0000" << false << QColor();
        QTest::newRow("no digits") << "#GGGGGG" << false << QColor();
        // The scanner reads the longest run of digits and an optional 0x prefix.
        QTest::newRow("trailing junk") << "#12ZZZZ" << true << QColor(0, 0, 0x12);
        QTest::newRow("0x prefix") << "0x1234" << true << QColor(0, 0x12, 0x34);
        QTest::newRow("inner space") << "#FF 000" << true << QColor(0, 0, 0xFF);
        QTest::newRow("unicode digits") << "#١٢٣٤٥٦" << false << QColor();
    }
    void parses() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QColor, color);
        const std::optional<QColor> parsed = colorFromHexString(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(parsed->rgba(), color.rgba());
    }

    void writes_data() {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("text");
        QTest::newRow("white") << QColor(Qt::white) << "#FFFFFF";
        QTest::newRow("black") << QColor(Qt::black) << "#000000";
        QTest::newRow("half alpha") << QColor::fromRgbF(1, 0, 0, 0.5f) << "#FF000080";
        QTest::newRow("alpha 254/255 keeps alpha") << QColor(1, 2, 3, 254) << "#010203FE";
        QTest::newRow("clear") << QColor(0, 0, 0, 0) << "#00000000";
        QTest::newRow("hsv converts") << QColor::fromHsv(120, 255, 255) << "#00FF00";
        QTest::newRow("invalid is white") << QColor() << "#FFFFFF";
        QTest::newRow("extended range clamps") << QColor::fromRgbF(1.5f, -0.25f, 0.5f) << "#FF0080";
    }
    void writes() {
        QFETCH(QColor, color);
        QFETCH(QString, text);
        QCOMPARE(colorHexString(color), text);
    }

    // Every byte value survives a write and a read.
    void roundTripsEveryComponent() {
        for (int v = 0; v < 256; ++v) {
            const QColor color(v, 255 - v, (v * 7) % 256, v);
            const std::optional<QColor> back = colorFromHexString(colorHexString(color));
            QVERIFY(back);
            QCOMPARE(back->rgba(), color.rgba());
        }
    }
};

QTEST_APPLESS_MAIN(ColorHexTest)
#include "tst_color_hex.moc"
