#include "platform/safe_files.h"
#include "small_file_system.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class SafeFilesTest : public QObject {
    Q_OBJECT

private slots:
    void writesAndReplacesKeepingTheMode() {
        QTemporaryDir dir;
        const QString path = dir.filePath("photo.png");
        QVERIFY(SafeFiles::write(path, "first"));
        QCOMPARE(contentOf(path), QByteArray("first"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(SafeFiles::write(path, "second, longer"));
        QCOMPARE(contentOf(path), QByteArray("second, longer"));
        // Owner, group and others (Qt also reports the current user's rights in 0x0700).
        QCOMPARE(QFile::permissions(path) & 0x7077,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"photo.png"});
    }

    // A full disk is reported, the file that was there stays as it was, and nothing is left
    // beside it.
    void aFullDiskKeepsTheOldFile() {
        SmallFileSystem disk(64);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.reason()));
        const QString path = disk.filePath("cut.png");
        QVERIFY(SafeFiles::write(path, QByteArray(8000, 'a')));
        disk.fill();
        QString error;
        QVERIFY(!SafeFiles::write(path, QByteArray(40000, 'b'), &error));
        QVERIFY2(!error.isEmpty(), "no reason given");
        QCOMPARE(contentOf(path), QByteArray(8000, 'a'));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"cut.png", "filler"}));
        // A new file on a full disk is not left empty either.
        QVERIFY(!SafeFiles::write(disk.filePath("new.png"), QByteArray(40000, 'c')));
        QVERIFY(!QFile::exists(disk.filePath("new.png")));
    }

    void devicesAreWrittenDirectlyAndFailuresReported() {
        QString error;
        QVERIFY(!SafeFiles::write("/dev/full", QByteArray(100, 'x'), &error));
        QVERIFY2(error.contains("No space") || !error.isEmpty(), qPrintable(error));
        QVERIFY(SafeFiles::write("/dev/null", QByteArray(100, 'x')));
        // The device is still a device: nothing was renamed over it.
        struct stat info {};
        QVERIFY(::stat("/dev/full", &info) == 0 && S_ISCHR(info.st_mode));
    }

    void foldersAndMissingFoldersAreRefused() {
        QTemporaryDir dir;
        QVERIFY(!SafeFiles::write(dir.path(), "x"));
        QVERIFY(!SafeFiles::write(dir.filePath("missing/file.png"), "x"));
    }

    void readingStaysWithinItsBound_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("read");
        QTest::newRow("endless device") << "/dev/zero" << false;
        QTest::newRow("folder") << "/tmp" << false;
        QTest::newRow("missing") << "/nonexistent/photo.jpg" << false;
        QTest::newRow("small regular file") << "<small>" << true;
        QTest::newRow("regular file over the bound") << "<large>" << false;
    }
    void readingStaysWithinItsBound() {
        QFETCH(QString, path);
        QFETCH(bool, read);
        QTemporaryDir dir;
        if (path.startsWith('<')) {
            const QString name = dir.filePath("file");
            QVERIFY(SafeFiles::write(name, QByteArray(path == "<small>" ? 1000 : 5000, 'x')));
            path = name;
        }
        QString error;
        const std::optional<QByteArray> bytes = SafeFiles::readRegular(path, 4096, &error);
        QCOMPARE(bytes.has_value(), read);
        QCOMPARE(error.isEmpty(), read);
        if (read)
            QCOMPARE(bytes->size(), 1000);
    }
};

QTEST_GUILESS_MAIN(SafeFilesTest)
#include "tst_safe_files.moc"
