#include "cats/image_decoding.h"

#include "platform/log.h"

#include <QBuffer>
#include <QImageReader>

namespace ImageDecoding {

std::optional<QImage> decode(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);

    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() > kMaxPixels) {
        qCWarning(lcPurrtick).noquote()
            << QStringLiteral("이미지가 너무 큼: %1 × %2 픽셀은 읽지 않습니다")
                   .arg(declared.width())
                   .arg(declared.height());
        return std::nullopt;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() < 1 || image.height() < 1)
        return std::nullopt;
    if (qint64(image.width()) * image.height() > kMaxPixels)
        return std::nullopt;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    // Cameras tag their pictures with a physical resolution; one point per pixel here.
    image.setDevicePixelRatio(1.0);
    return image.isNull() ? std::nullopt : std::optional(image);
}

} // namespace ImageDecoding
