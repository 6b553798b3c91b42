#include "app/tray_icon_image.h"
#include "platform/symbol_icon.h"

#include <QFile>
#include <QGuiApplication>
#include <QTest>

namespace {

// The symbol names of the table the build embedded.
QStringList tableNames() {
    QFile table(QStringLiteral(PURRTICK_SYMBOL_TABLE));
    if (!table.open(QIODevice::ReadOnly))
        return {};
    QStringList names;
    for (const QByteArray& line : table.readAll().split('\n'))
        if (!line.trimmed().isEmpty() && !line.startsWith('#'))
            names << QString::fromUtf8(line.simplified().split(' ').first());
    return names;
}

// Share of pixels with any coverage, and whether every covered pixel has the colour.
struct Coverage {
    double share = 0;
    bool tinted = true;
};
Coverage coverage(const QImage& image, QColor color) {
    Coverage result;
    int covered = 0;
    const QImage plain = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const QColor pixel = plain.pixelColor(x, y);
            if (pixel.alpha() == 0)
                continue;
            ++covered;
            if (pixel.alpha() == 255 && pixel.rgb() != color.rgb())
                result.tinted = false;
        }
    result.share = double(covered) / (plain.width() * plain.height());
    return result;
}

} // namespace

class SymbolIconsTest : public QObject {
    Q_OBJECT

private slots:
    void everySymbolRenders_data() {
        QTest::addColumn<QString>("name");
        const QStringList names = tableNames();
        QVERIFY(names.size() >= 15);
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << name;
    }
    void everySymbolRenders() {
        QFETCH(QString, name);
        QVERIFY(SymbolIcon::exists(name));
        const QColor orange(0xFF, 0x8C, 0x1A);
        const QImage image = SymbolIcon::render(name, QSize(24, 24), orange, 2.0);
        QCOMPARE(image.size(), QSize(48, 48));
        QCOMPARE(image.devicePixelRatio(), 2.0);
        const Coverage c = coverage(image, orange);
        QVERIFY2(c.share > 0.05 && c.share < 0.95, qPrintable(QString::number(c.share)));
        QVERIFY(c.tinted);
    }

    void unknownSymbolsAreNull() {
        QVERIFY(!SymbolIcon::exists("no.such.symbol"));
        QVERIFY(SymbolIcon::render("no.such.symbol", QSize(16, 16), Qt::black).isNull());
        QVERIFY(SymbolIcon::render("cat.fill", QSize(0, 16), Qt::black).isNull());
    }

    void iconPaintsAtRequestedSizes() {
        const QIcon icon = SymbolIcon::icon("play.fill", Qt::white);
        const QPixmap pixmap = icon.pixmap(QSize(32, 32));
        QCOMPARE(pixmap.size(), QSize(32, 32));
        QVERIFY(coverage(pixmap.toImage(), Qt::white).share > 0.1);
    }

    // The tray icon must read on light and dark panels: it has both a light body and a dark rim.
    void trayIconHasLightBodyAndDarkOutline_data() {
        QTest::addColumn<int>("side");
        for (int side : {16, 22, 32, 64})
            QTest::newRow(qPrintable(QString::number(side))) << side;
    }
    void trayIconHasLightBodyAndDarkOutline() {
        QFETCH(int, side);
        const QImage image = TrayIconImage::render(side).convertToFormat(QImage::Format_ARGB32);
        int light = 0, dark = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() < 200)
                    continue;
                if (pixel.lightness() > 200)
                    ++light;
                else if (pixel.lightness() < 60)
                    ++dark;
            }
        QVERIFY2(light > side * side / 10, qPrintable(QString::number(light)));
        QVERIFY2(dark > side, qPrintable(QString::number(dark)));
        // The light body never reaches the edge: the outline always surrounds it.
        for (int i = 0; i < side; ++i)
            for (QPoint edge :
                 {QPoint(i, 0), QPoint(i, side - 1), QPoint(0, i), QPoint(side - 1, i)}) {
                const QColor pixel = image.pixelColor(edge);
                QVERIFY(pixel.alpha() < 128 || pixel.lightness() < 128);
            }
    }
};

QTEST_MAIN(SymbolIconsTest)
#include "tst_symbol_icons.moc"
