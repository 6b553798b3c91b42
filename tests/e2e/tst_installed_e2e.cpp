#include "e2e_support.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTest>

using namespace E2E;

// The program as `cmake --install` lays it out under a prefix, started from there.
class InstalledE2ETest : public QObject {
    Q_OBJECT

    QTemporaryDir m_prefix;

    QString installed(const QString& path) const { return m_prefix.filePath(path); }

private slots:
    void initTestCase() {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        install.start("cmake", {"--install", PURRTICK_BUILD_DIR, "--prefix", m_prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    }

    void layout_data() {
        QTest::addColumn<QString>("path");
        const QString id = PURRTICK_APP_ID;
        for (const char* path :
             {"bin/purrtick", "bin/purrtick-cutout",
              PURRTICK_MODULE_DIR "/purrtick-image-editor.so",
              "share/purrtick/Purrtick_Purrtick.bundle/Cats/names.json",
              "share/purrtick/Purrtick_Purrtick.bundle/Cats/256/cat.png",
              "share/man/man1/purrtick.1.gz", "share/man/man1/purrtick-cutout.1.gz",
              "share/man/ko/man1/purrtick.1.gz", "share/man/ko/man1/purrtick-cutout.1.gz",
              "share/doc/purrtick/LICENSE-fluentui-emoji.txt",
              "share/doc/purrtick/LICENSE-phosphor-icons.txt",
              "share/dbus-1/services/" PURRTICK_APP_ID ".service"})
            QTest::newRow(path) << QString(path);
        QTest::newRow("desktop entry") << "share/applications/" + id + ".desktop";
        QTest::newRow("metainfo") << "share/metainfo/" + id + ".metainfo.xml";
        QTest::newRow("scalable icon") << "share/icons/hicolor/scalable/apps/" + id + ".svg";
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
            QTest::newRow(qPrintable(QString("icon %1").arg(size)))
                << QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id);
    }
    void layout() {
        QFETCH(QString, path);
        QVERIFY2(QFileInfo(installed(path)).isFile(), qPrintable(path));
    }

    // The installed copy draws the same widget as the build tree's: it found its artwork.
    void installedCopyFindsItsArtworkAndIcon() {
        QImage built;
        {
            Purrtick app;
            QVERIFY(app.start());
            QTest::qWait(500);
            built = grab(geometry(app.widget()));
            QVERIFY(app.stop());
        }
        Purrtick app(installed("bin/purrtick"));
        QVERIFY(app.start());
        QTest::qWait(500);
        QCOMPARE(grab(geometry(app.widget())), built);

        QCOMPARE(app.launchAgain(nullptr, {"--settings"}), 0);
        QStringList settings;
        QVERIFY(
            waitFor([&] { return !(settings = windowsWithRole("purrtick-settings")).isEmpty(); }));
        // The window manager is given the program's icon.
        QVERIFY(!windowProperty(settings.front(), "_NET_WM_ICON").contains("not found"));
        QVERIFY(app.stop());
    }
};

QTEST_MAIN(InstalledE2ETest)
#include "tst_installed_e2e.moc"
