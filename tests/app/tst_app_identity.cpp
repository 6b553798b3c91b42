#include "app/app_identity.h"

#include <QApplication>
#include <QTest>

// The program tells the desktop who it is, and its windows carry its icon.
class AppIdentityTest : public QObject {
    Q_OBJECT
private slots:
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
