#include "cats/image_decoding.h"

#include "platform/log.h"
#include "platform/safe_files.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace ImageDecoding {
namespace {

// Qt refuses pictures over its own allocation limit (128 MB by default, about 33 megapixels)
// before our size check could allow them; the limit follows ours instead.
void allowOurLargestPicture() {
    static const bool raised = [] {
        QImageReader::setAllocationLimit(int(kMaxPixels * 4 / (1024 * 1024)) + 16);
        return true;
    }();
    (void)raised;
}

// With `format`, the data is read as that format only, and `recognised` tells whether it was.
std::optional<QImage> read(QIODevice* device, QSize within, QString* error,
                           const QByteArray& format = {}, bool* recognised = nullptr) {
    allowOurLargestPicture();
    QImageReader reader(device);
    reader.setAutoTransform(true);
    if (format.isEmpty()) {
        reader.setDecideFormatFromContent(true);
    } else {
        reader.setFormat(format);
        reader.setAutoDetectImageFormat(false);
        if (recognised)
            *recognised = reader.canRead();
        if (!reader.canRead())
            return std::nullopt;
    }

    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() > kMaxPixels) {
        const QString reason = QStringLiteral("이미지가 너무 큼: %1 × %2 픽셀은 읽지 않습니다")
                                   .arg(declared.width())
                                   .arg(declared.height());
        qCWarning(lcPurrtick).noquote() << reason;
        if (error)
            *error = reason;
        return std::nullopt;
    }
    if (within.isValid() && declared.isValid() &&
        (declared.width() > within.width() || declared.height() > within.height()))
        reader.setScaledSize(declared.scaled(within, Qt::KeepAspectRatio).expandedTo({1, 1}));
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() < 1 || image.height() < 1) {
        if (error)
            *error = reader.errorString();
        return std::nullopt;
    }
    if (qint64(image.width()) * image.height() > kMaxPixels)
        return std::nullopt;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    // Cameras tag their pictures with a physical resolution; one point per pixel here.
    image.setDevicePixelRatio(1.0);
    return image.isNull() ? std::nullopt : std::optional(image);
}

} // namespace

std::optional<QImage> decode(const QByteArray& bytes, QSize within) {
    if (bytes.isEmpty())
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return read(&buffer, within, nullptr);
}

std::optional<QImage> decodeFile(const QString& path, QSize within, QString* error) {
    QFile file(path);
    if (!SafeFiles::openRegular(file, kMaxFileBytes, error))
        return std::nullopt;
    // The format the name says first: asking what the content is loads every image format
    // plugin there is (TIFF, WebP, MNG… and their libraries, megabytes that stay), while the
    // named one loads one plugin or none (PNG is built in). A file whose name lies is read
    // again by its content.
    const QByteArray named = QFileInfo(path).suffix().toLower().toLatin1();
    if (!named.isEmpty()) {
        bool recognised = false;
        std::optional<QImage> image = read(&file, within, error, named, &recognised);
        if (recognised || !file.seek(0))
            return image;
    }
    return read(&file, within, error);
}

} // namespace ImageDecoding
