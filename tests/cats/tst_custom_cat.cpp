#include "cats/custom_cat.h"
#include "settings/settings.h"
#include "small_file_system.h"
#include "temp_store.h"
#include "test_images.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>

#include <memory>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct Library {
    QTemporaryDir data;
    TempStore temp;
    Settings settings{temp.open()};
    QString root = data.filePath("Purrtick");
    CustomCat cat{root, settings};
    QString library(const QString& name = {}) const { return root + "/library/" + name; }
};

} // namespace

class CustomCatTest : public QObject {
    Q_OBJECT

private slots:
    void emptyOrMissingFolder() {
        Library l;
        QVERIFY(l.cat.libraryFiles().isEmpty());
        QVERIFY(QFileInfo(l.library()).isDir());
    }

    void addKeepsTheExtensionsCase_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("extension");
        QTest::newRow("upper case") << "photo.JPG"
                                    << "JPG";
        QTest::newRow("lower case") << "photo.webp"
                                    << "webp";
        QTest::newRow("no extension") << "photo"
                                      << "png";
        QTest::newRow("two dots") << "my.cat.Png"
                                  << "Png";
    }
    void addKeepsTheExtensionsCase() {
        QFETCH(QString, source);
        QFETCH(QString, extension);
        Library l;
        const QString path = l.data.filePath(source);
        const QByteArray bytes = pngBytes({3, 3});
        writeFile(path, bytes);
        const std::optional<QString> name = l.cat.add(path);
        QVERIFY(name);
        const QRegularExpression form(
            "^cat-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\." + extension +
            "$");
        QVERIFY2(form.match(*name).hasMatch(), qPrintable(*name));
        QFile stored(l.library(*name));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), bytes);
        QCOMPARE(l.cat.libraryFiles(), QStringList{*name});
    }

    void addFailuresAreLogged() {
        Library l;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^CustomCat 추가 실패: "));
        QVERIFY(!l.cat.add(l.data.filePath("missing.png")));
    }

    void addPNGWritesWholeFiles() {
        Library l;
        const QByteArray bytes = pngBytes({20, 10});
        const std::optional<QString> name = l.cat.addPNG(bytes);
        QVERIFY(name && name->endsWith(".png"));
        QCOMPARE(l.cat.image(*name)->size(), QSize(20, 10));
        // Nothing but the photo itself is left behind.
        QCOMPARE(QDir(l.library()).entryList(QDir::Files | QDir::Hidden), QStringList{*name});
    }

    void addPNGIntoAnUnwritableFolderIsLogged() {
        Library l;
        writeFile(l.root, "a file where the folder should be");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^CustomCat 저장 실패: "));
        QVERIFY(!l.cat.addPNG(pngBytes({2, 2})));
    }

    // A full disk is reported as a failure, never as a name for an empty file.
    void addPNGOnAFullDiskIsLoggedAndLeavesNothing() {
        SmallFileSystem disk(128);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.reason()));
        TempStore temp;
        Settings settings{temp.open()};
        CustomCat cat(disk.filePath("Purrtick"), settings);
        QVERIFY(cat.libraryFiles().isEmpty());
        disk.fill();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^CustomCat 저장 실패: "));
        QVERIFY(!cat.addPNG(QByteArray(64 * 1024, 'p')));
        QVERIFY(cat.libraryFiles().isEmpty());
        QCOMPARE(QDir(disk.filePath("Purrtick/library")).entryList(QDir::Files | QDir::Hidden),
                 QStringList());
    }

    void addRefusesWhatIsNotARegularFile() {
        Library l;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^CustomCat 추가 실패: /dev/zero"));
        QVERIFY(!l.cat.add("/dev/zero"));
        QVERIFY(l.cat.libraryFiles().isEmpty());
    }

    // A photo that cannot be read is read, and logged, once; again only when its file changes
    // or a role is assigned.
    void aPhotoThatFailsIsNotReadAgain() {
        Library l;
        writeFile(l.library("cat-broken.png"), "not a picture, just text");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^CustomCat 사진을 읽지 못했습니다: "
                                                              "cat-broken.png"));
        QVERIFY(!l.cat.image("cat-broken.png"));
        QTest::failOnWarning(QRegularExpression("CustomCat"));
        for (int i = 0; i < 50; ++i)
            QVERIFY(!l.cat.image("cat-broken.png"));
    }
    void aPhotoThatFailsIsReadAgainWhenItChanges() {
        Library l;
        writeFile(l.library("cat-late.png"), "still being copied");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^CustomCat 사진을 읽지 못했습니다"));
        QVERIFY(!l.cat.image("cat-late.png"));
        writeFile(l.library("cat-late.png"), pngBytes({12, 8}));
        QCOMPARE(l.cat.image("cat-late.png")->size(), QSize(12, 8));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^CustomCat 사진을 읽지 못했습니다"));
        QVERIFY(!l.cat.image("cat-missing.png"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^CustomCat 사진을 읽지 못했습니다"));
        l.settings.setCustomCatFileName(QString("cat-missing.png"));
        QVERIFY(!l.cat.image("cat-missing.png"));
    }

    void photosAreDecodedOffTheMainThread() {
        Library l;
        const QString name = *l.cat.addPNG(pngBytes({30, 20}));
        QStringList ready;
        l.cat.onImageReady = [&](const QString& which) { ready << which; };
        QVERIFY(!l.cat.imageWhenReady(name));
        QVERIFY(l.cat.isLoading());
        QVERIFY(!l.cat.imageWhenReady(name)); // asked again while loading: still one decode
        QTRY_COMPARE(ready, QStringList{name});
        QVERIFY(!l.cat.isLoading());
        QCOMPARE(l.cat.imageWhenReady(name)->size(), QSize(30, 20));
        QCOMPARE(ready.size(), 1);
    }

    void aLibraryGoneBeforeItsPhotoArrivesIsLeftAlone() {
        auto l = std::make_unique<Library>();
        const QString name = *l->cat.addPNG(pngBytes({400, 300}));
        bool called = false;
        l->cat.onImageReady = [&](const QString&) { called = true; };
        QVERIFY(!l->cat.imageWhenReady(name));
        l.reset();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QVERIFY(!called);
    }

    void photosAreDecodedAtTheSizeTheyAreShown() {
        Library l;
        QImage big(4000, 3000, QImage::Format_RGB32);
        big.fill(Qt::darkGreen);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        big.save(&buffer, "JPEG");
        writeFile(l.library("cat-big.jpg"), buffer.data());
        const std::optional<QImage> shown = l.cat.image("cat-big.jpg");
        QVERIFY(shown);
        QCOMPARE(shown->size(), QSize(CustomCat::kDisplaySide, CustomCat::kDisplaySide * 3 / 4));
    }

    // Photos added in quick succession share a birth time on Linux file systems; they still
    // list in the order they were added.
    void photosAddedInOneGoListInTheOrderAdded() {
        Library l;
        QStringList added;
        for (int i = 0; i < 8; ++i)
            added.append(*l.cat.addPNG(pngBytes({2 + i, 2})));
        QCOMPARE(l.cat.libraryFiles(), added);
    }

    void listingIsByCreationAndSkipsHiddenAndFolders() {
        Library l;
        QDir().mkpath(l.library("folder"));
        writeFile(l.library("zzz-first.txt"), "not a picture");
        QThread::msleep(15);
        const QString second = *l.cat.addPNG(pngBytes({2, 2}));
        QThread::msleep(15);
        writeFile(l.library("aaa-third.png"), pngBytes({2, 2}));
        writeFile(l.library(".hidden.png"), pngBytes({2, 2}));
        QCOMPARE(l.cat.libraryFiles(), QStringList({"zzz-first.txt", second, "aaa-third.png"}));
        QVERIFY(!l.cat.image("zzz-first.txt"));
    }

    void migration() {
        Library l;
        writeFile(l.root + "/customCat.png", "legacy one");
        writeFile(l.root + "/customCatDone.jpg", "legacy two");
        writeFile(l.library("customCatDone.jpg"), "already there");
        QDir().mkpath(l.root + "/customCatFolder");
        writeFile(l.root + "/other.png", "not legacy");
        l.cat.libraryFiles();
        QVERIFY(QFile::exists(l.library("customCat.png")));
        QVERIFY(!QFile::exists(l.root + "/customCat.png"));
        // Never overwritten: the legacy file stays where it was.
        QFile kept(l.library("customCatDone.jpg"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("already there"));
        QVERIFY(QFile::exists(l.root + "/customCatDone.jpg"));
        QVERIFY(QFileInfo(l.root + "/customCatFolder").isDir());
        QVERIFY(!QFile::exists(l.library("customCatFolder")));
        QVERIFY(QFile::exists(l.root + "/other.png"));
        // Once per run: a legacy file appearing later stays.
        writeFile(l.root + "/customCatLate.png", "late");
        l.cat.libraryFiles();
        QVERIFY(!QFile::exists(l.library("customCatLate.png")));
    }

    void removeClearsRoles_data() {
        QTest::addColumn<bool>("normal");
        QTest::addColumn<bool>("done");
        QTest::newRow("both roles") << true << true;
        QTest::newRow("normal only") << true << false;
        QTest::newRow("done only") << false << true;
    }
    void removeClearsRoles() {
        QFETCH(bool, normal);
        QFETCH(bool, done);
        Library l;
        const QString name = *l.cat.addPNG(pngBytes({2, 2}));
        const QString other = *l.cat.addPNG(pngBytes({2, 2}));
        l.settings.setCustomCatFileName(normal ? name : other);
        l.settings.setCustomCatDoneFileName(done ? name : other);
        QVERIFY(l.cat.image(name));
        l.cat.remove(name);
        QVERIFY(!QFile::exists(l.library(name)));
        QVERIFY(!l.cat.image(name));
        QCOMPARE(l.settings.customCatFileName(), normal ? std::nullopt : std::optional(other));
        QCOMPARE(l.settings.customCatDoneFileName(), done ? std::nullopt : std::optional(other));
        auto file = l.temp.readBack();
        QCOMPARE(file->contains("customCatFileName"), !normal);
        QCOMPARE(file->contains("customCatDoneFileName"), !done);
    }

    void unsafeNamesAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << "../victim.png";
        QTest::newRow("absolute") << "/tmp/victim.png";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("empty") << "";
        QTest::newRow("backslash") << "..\\victim.png";
    }
    void unsafeNamesAreRefused() {
        QFETCH(QString, name);
        Library l;
        const QString victim = l.root + "/victim.png";
        writeFile(victim, pngBytes({2, 2}));
        l.cat.libraryFiles();
        l.cat.remove(name);
        QVERIFY(QFile::exists(victim));
        QVERIFY(!l.cat.image(name));
    }

    void transferRoles() {
        Library l;
        l.settings.setCustomCatFileName(QString("a.png"));
        l.settings.setCustomCatDoneFileName(QString("old.png"));
        l.cat.transferRoles("old.png", "new.png");
        QCOMPARE(l.settings.customCatFileName(), std::optional<QString>("a.png"));
        QCOMPARE(l.settings.customCatDoneFileName(), std::optional<QString>("new.png"));
        l.settings.setCustomCatFileName(QString("new.png"));
        l.cat.transferRoles("new.png", "newer.png");
        QCOMPARE(l.settings.customCatFileName(), std::optional<QString>("newer.png"));
        QCOMPARE(l.settings.customCatDoneFileName(), std::optional<QString>("newer.png"));
    }

    void cacheStaysWithinItsBudget() {
        QTemporaryDir data;
        TempStore temp;
        Settings settings(temp.open());
        // Room for two 100 × 100 photos (40 000 bytes each), not three.
        CustomCat cat(data.filePath("Purrtick"), settings, 100000);
        QStringList names;
        for (int i = 0; i < 4; ++i)
            names << *cat.addPNG(pngBytes({100, 100}));
        for (const QString& name : names)
            QVERIFY(cat.image(name));
        QVERIFY(cat.cachedBytes() <= 100000);
        QVERIFY(cat.cachedBytes() >= 80000);
        // An evicted photo loads again, with the same result.
        QCOMPARE(cat.image(names.first())->size(), QSize(100, 100));
        // A single photo over the budget is still kept.
        CustomCat tight(data.filePath("Purrtick"), settings, 10);
        QVERIFY(tight.image(names.first()));
        QCOMPARE(tight.cachedBytes(), qint64(40000));
    }
};

QTEST_GUILESS_MAIN(CustomCatTest)
#include "tst_custom_cat.moc"
