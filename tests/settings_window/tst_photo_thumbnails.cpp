// Thumbnails of library photos: decoded off the main thread at the drawn size, kept per file
// version, and "unreadable" for files that are not pictures.
#include "settings_window/photo_thumbnails.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

class TestPhotoThumbnails : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString writeImage(const QString& name, QSize size, QColor colour, const char* format) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(name);
        image.save(path, format);
        return path;
    }

    static PhotoThumbnails::Result settle(PhotoThumbnails& thumbnails, const QString& path,
                                          int side) {
        QSignalSpy ready(&thumbnails, &PhotoThumbnails::ready);
        PhotoThumbnails::Result result = thumbnails.thumbnail(path, side);
        if (result.status == PhotoThumbnails::Status::loading) {
            // Asked again while it decodes: still loading, and no second decode.
            [&] {
                QCOMPARE(thumbnails.thumbnail(path, side).status, PhotoThumbnails::Status::loading);
            }();
            [&] { QVERIFY(ready.wait(5000)); }();
            result = thumbnails.thumbnail(path, side);
        }
        return result;
    }

private slots:
    void decodedAtTheDrawnSize_data() {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<int>("side");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("landscape JPEG, 1x") << QSize(4000, 3000) << 64 << QSize(64, 48);
        QTest::newRow("portrait JPEG, 2x") << QSize(1500, 3000) << 128 << QSize(64, 128);
    }
    void decodedAtTheDrawnSize() {
        QFETCH(QSize, photo);
        QFETCH(int, side);
        QFETCH(QSize, expected);
        const QString path = writeImage(QStringLiteral("p.jpg"), photo, Qt::darkCyan, "JPEG");
        PhotoThumbnails thumbnails;
        const PhotoThumbnails::Result result = settle(thumbnails, path, side);
        QCOMPARE(result.status, PhotoThumbnails::Status::ready);
        QCOMPARE(result.image.size(), expected);
        QCOMPARE(thumbnails.pending(), 0);
    }

    void aFileThatIsNoPictureIsUnreadable() {
        const QString path = dir.filePath(QStringLiteral("notes.png"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        PhotoThumbnails thumbnails;
        QCOMPARE(settle(thumbnails, path, 64).status, PhotoThumbnails::Status::unreadable);
        // Known now: asked again, it answers at once.
        QCOMPARE(thumbnails.thumbnail(path, 64).status, PhotoThumbnails::Status::unreadable);
    }

    void aFileWrittenAgainIsDecodedAgain() {
        const QString path = writeImage(QStringLiteral("q.png"), {80, 80}, Qt::red, "PNG");
        PhotoThumbnails thumbnails;
        QCOMPARE(settle(thumbnails, path, 64).image.pixelColor(10, 10), QColor(Qt::red));
        QTest::qWait(20); // a later modification time
        writeImage(QStringLiteral("q.png"), {90, 90}, Qt::blue, "PNG");
        QFile(path).setFileTime(QDateTime::currentDateTime().addSecs(5),
                                QFileDevice::FileModificationTime);
        QCOMPARE(settle(thumbnails, path, 64).image.pixelColor(10, 10), QColor(Qt::blue));
    }

    void aDecodeThatFinishesAfterTheGridWentAwayIsDropped() {
        const QString path = writeImage(QStringLiteral("r.jpg"), {3000, 2000}, Qt::green, "JPEG");
        auto thumbnails = std::make_unique<PhotoThumbnails>();
        QCOMPARE(thumbnails->thumbnail(path, 64).status, PhotoThumbnails::Status::loading);
        thumbnails.reset();
        // Nothing is left to tell; the late result must not touch freed memory.
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }
};

QTEST_GUILESS_MAIN(TestPhotoThumbnails)
#include "tst_photo_thumbnails.moc"
