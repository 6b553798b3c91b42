#include "cats/image_decoding.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(image);
    return bytes;
}

QImage gradient(int w, int h, QImage::Format format = QImage::Format_ARGB32) {
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, QColor(x * 255 / w, y * 255 / h, 128));
    return image;
}

quint32 crc32(const QByteArray& data) {
    quint32 crc = 0xffffffffu;
    for (char byte : data) {
        crc ^= quint8(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(QByteArray& bytes, int at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (24 - 8 * i)) & 0xff);
}

// A valid PNG signature and header declaring this size, followed by no pixel data.
QByteArray pngHeaderOnly(quint32 width, quint32 height) {
    QByteArray png = encoded(gradient(4, 4), "png").left(33);
    // IHDR: length at 8, type at 12, width at 16, height at 20, CRC over type and data at 29.
    putBigEndian(png, 16, width);
    putBigEndian(png, 20, height);
    putBigEndian(png, 29, crc32(png.mid(12, 17)));
    // An empty IDAT chunk, so the header reads completely.
    QByteArray idat(12, '\0');
    idat.replace(4, 4, "IDAT");
    putBigEndian(idat, 8, crc32("IDAT"));
    return png + idat;
}

} // namespace

// Bad input never crashes or exhausts memory; good input arrives upright in one pixel format.
class ImageDecodingTest : public QObject {
    Q_OBJECT
private slots:
    void refusesWhatIsNotAPicture_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("not a picture at all");
        QTest::newRow("truncated png") << encoded(gradient(64, 64), "png").left(40);
        QTest::newRow("truncated jpeg header") << encoded(gradient(64, 64), "jpeg").left(20);
        QTest::newRow("png header, no data") << pngHeaderOnly(64, 64);
    }
    void refusesWhatIsNotAPicture() {
        QFETCH(QByteArray, bytes);
        QTest::failOnWarning(QRegularExpression("이미지가 너무 큼"));
        QVERIFY(!ImageDecoding::decode(bytes));
    }

    // Phone cameras take 48 megapixels and more; Qt's own allocation limit would refuse any
    // picture over about 33.5. A large photo decodes at full size, and straight at a smaller
    // size when one is asked for.
    void decodesLargePhotos() {
        QImage big(7000, 5000, QImage::Format_RGB32);
        big.fill(QColor(200, 120, 40));
        const QByteArray jpeg = encoded(big, "jpeg");
        big = QImage();
        const std::optional<QImage> full = ImageDecoding::decode(jpeg);
        QVERIFY(full);
        QCOMPARE(full->size(), QSize(7000, 5000));
        const std::optional<QImage> shown = ImageDecoding::decode(jpeg, QSize(1710, 1710));
        QVERIFY(shown);
        QCOMPARE(shown->size(), QSize(1710, 1221));
        // A small picture is never enlarged.
        QCOMPARE(ImageDecoding::decode(encoded(gradient(30, 20), "png"), QSize(1710, 1710))->size(),
                 QSize(30, 20));
    }

    void refusesHugeDeclaredSizesBeforeAllocating() {
        // 100 megapixels pass the size check; one row more does not.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("이미지가 너무 큼: 10000 × 10001"));
        QVERIFY(!ImageDecoding::decode(pngHeaderOnly(10000, 10001)));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("이미지가 너무 큼: 60000 × 60000"));
        QVERIFY(!ImageDecoding::decode(pngHeaderOnly(60000, 60000)));
    }

    void decodesFormats_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::newRow("png") << encoded(gradient(30, 20), "png") << QSize(30, 20);
        QTest::newRow("jpeg") << encoded(gradient(30, 20), "jpeg") << QSize(30, 20);
        QTest::newRow("16-bit png")
            << encoded(gradient(30, 20, QImage::Format_RGBA64), "png") << QSize(30, 20);
        QTest::newRow("grayscale")
            << encoded(gradient(30, 20).convertToFormat(QImage::Format_Grayscale8), "png")
            << QSize(30, 20);
        QTest::newRow("indexed") << encoded(
                                        gradient(30, 20).convertToFormat(QImage::Format_Indexed8),
                                        "png")
                                 << QSize(30, 20);
        QTest::newRow("bmp") << encoded(gradient(30, 20), "bmp") << QSize(30, 20);
    }
    void decodesFormats() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        const std::optional<QImage> image = ImageDecoding::decode(bytes);
        QVERIFY(image);
        QCOMPARE(image->size(), size);
        QCOMPARE(image->format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(image->devicePixelRatio(), 1.0);
        // Bottom-right corner keeps its colour (red high, green high).
        const QColor c = image->pixelColor(size.width() - 1, size.height() - 1);
        QVERIFY2(c.red() > 200 && c.green() > 200, qPrintable(c.name()));
    }

    // Files are read as their names say first; a name that lies does not stop a picture being
    // read, and a picture refused as too large is refused once.
    void filesAreReadByTheirNamesThenByContent_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("decoded");
        QTest::newRow("png named png") << "a.png" << encoded(gradient(30, 20), "png") << true;
        QTest::newRow("png named jpg") << "b.jpg" << encoded(gradient(30, 20), "png") << true;
        QTest::newRow("jpeg named png") << "c.PNG" << encoded(gradient(30, 20), "jpeg") << true;
        QTest::newRow("no extension") << "d" << encoded(gradient(30, 20), "png") << true;
        QTest::newRow("text named png") << "e.png" << QByteArray("not a picture") << false;
    }
    void filesAreReadByTheirNamesThenByContent() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, decoded);
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const std::optional<QImage> image = ImageDecoding::decodeFile(file.fileName());
        QCOMPARE(image.has_value(), decoded);
        if (decoded)
            QCOMPARE(image->size(), QSize(30, 20));
    }

    void aTooLargePictureIsRefusedOnce() {
        QTemporaryDir dir;
        QFile file(dir.filePath("huge.png"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(pngHeaderOnly(60000, 60000));
        file.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("이미지가 너무 큼: 60000 × 60000"));
        QTest::failOnWarning(QRegularExpression("이미지가 너무 큼"));
        QVERIFY(!ImageDecoding::decodeFile(file.fileName()));
    }

    // A JPEG saying "rotate 90° clockwise" arrives upright: its width and height swap.
    void appliesExifOrientation() {
        QByteArray jpeg = encoded(gradient(40, 20), "jpeg");
        // APP1 Exif segment, little-endian TIFF with one IFD entry: Orientation (0x112) = 6.
        const QByteArray tiff = QByteArray("II\x2a\x00\x08\x00\x00\x00", 8) +
                                QByteArray("\x01\x00", 2) +
                                QByteArray("\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00", 12) +
                                QByteArray("\x00\x00\x00\x00", 4);
        const QByteArray payload = QByteArray("Exif\x00\x00", 6) + tiff;
        const int length = int(payload.size()) + 2;
        QByteArray app1("\xff\xe1", 2);
        app1.append(char(length >> 8)).append(char(length & 0xff)).append(payload);
        jpeg.insert(2, app1);
        const std::optional<QImage> image = ImageDecoding::decode(jpeg);
        QVERIFY(image);
        QCOMPARE(image->size(), QSize(20, 40));
    }
};

QTEST_GUILESS_MAIN(ImageDecodingTest)
#include "tst_image_decoding.moc"
