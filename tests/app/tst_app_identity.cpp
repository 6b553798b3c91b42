#include "app/app_identity.h"
#include "cats/bundled_cat.h"

#include <QApplication>
#include <QFile>
#include <QTest>

// The program tells the desktop who it is, and its windows carry its icon.
class AppIdentityTest : public QObject {
    Q_OBJECT
private slots:
    // A start reads its icon and the built-in cat as the PNG files they are: asking Qt to work
    // out their format would load every image format plugin (and TIFF, WebP, MNG… behind them)
    // for good.
    void startingLoadsNoImageFormatPlugin() {
        AppIdentity::install(*qApp);
        BundledCat catalogue(BundledCat::findBundle());
        if (catalogue.skins().isEmpty())
            QSKIP("the built-in artwork is not built (target purrtick_artwork)");
        const QString file = *catalogue.skins().front().imageFile;
        QVERIFY(catalogue.imageSize(file).isValid());
        QVERIFY(catalogue.imageAt(file, QSize(192, 192)));
        QFile maps("/proc/self/maps");
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY2(!mapped.contains("plugins/imageformats/"), "an image format plugin was loaded");
    }

    void windowsCarryTheIconFromTheBuildTree() {
        AppIdentity::install(*qApp);
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("io.github.purrtick.Purrtick"));
        const QIcon windowIcon = QApplication::windowIcon();
        QVERIFY(!windowIcon.isNull());
        // Window managers get the sizes they show, not the large pictures.
        QVERIFY(windowIcon.availableSizes().contains(QSize(16, 16)));
        for (const QSize& size : windowIcon.availableSizes())
            QVERIFY(size.width() <= AppIdentity::kLargestWindowIcon);
        // Drawn from the artwork at the size asked for, not scaled from one picture.
        const QIcon icon = AppIdentity::icon();
        QVERIFY(icon.availableSizes().contains(QSize(512, 512)));
        const QImage small = icon.pixmap(16).toImage();
        const QImage large = icon.pixmap(256).toImage();
        QCOMPARE(small.size(), QSize(16, 16));
        QCOMPARE(large.size(), QSize(256, 256));
        // The cat face is opaque in the middle and transparent in the corners.
        QCOMPARE(large.pixelColor(128, 128).alpha(), 255);
        QCOMPARE(large.pixelColor(1, 1).alpha(), 0);
    }
};

QTEST_MAIN(AppIdentityTest)
#include "tst_app_identity.moc"
