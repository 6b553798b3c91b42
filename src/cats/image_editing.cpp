#include "cats/image_editing.h"

#include "cats/foreground_segmentation.h"
#include "cats/image_decoding.h"
#include "cats/model_segmentation.h"
#include "cats/saliency_model.h"
#include "platform/log.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <cmath>

namespace ImageEditing {

namespace {

// Large cut-outs are compressed lightly: the default level takes seconds on a 12-megapixel
// picture for a file only a little smaller.
constexpr qint64 kFastCompressionPixels = 2'000'000;

std::optional<QByteArray> encodePng(const QImage& image, int quality) {
    if (image.isNull())
        return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return std::nullopt;
    QImageWriter writer(&buffer, "png");
    writer.setQuality(quality);
    if (!writer.write(image))
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<QByteArray> pngData(const QImage& image) {
    return encodePng(image, -1);
}

std::optional<QImage> crop(const QImage& image, const QRectF& unitRect) {
    if (image.isNull())
        return std::nullopt;
    const double w = image.width();
    const double h = image.height();
    const double left = std::floor(unitRect.x() * w);
    const double top = std::floor(unitRect.y() * h);
    const double right = std::ceil((unitRect.x() + unitRect.width()) * w);
    const double bottom = std::ceil((unitRect.y() + unitRect.height()) * h);
    if (!(right - left >= 1) || !(bottom - top >= 1))
        return std::nullopt;
    // Clip in floating point first, so that absurd rectangles cannot overflow int.
    const double clippedLeft = std::max(left, 0.0);
    const double clippedTop = std::max(top, 0.0);
    const double clippedRight = std::min(right, w);
    const double clippedBottom = std::min(bottom, h);
    if (clippedRight - clippedLeft < 1 || clippedBottom - clippedTop < 1)
        return std::nullopt;
    const QRect pixels(int(clippedLeft), int(clippedTop), int(clippedRight - clippedLeft),
                       int(clippedBottom - clippedTop));
    QImage result = image.copy(pixels);
    if (result.isNull())
        return std::nullopt;
    result.setDevicePixelRatio(1.0);
    return result;
}

std::optional<QImage> scaled(const QImage& image, double factor) {
    if (!(factor > 0) || std::abs(factor - 1.0) <= 0.001 || image.isNull())
        return std::nullopt;
    const int w = image.width();
    const int h = image.height();
    QImage canvas(w, h, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return std::nullopt;
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF target((w - w * factor) / 2, (h - h * factor) / 2, w * factor, h * factor);
        painter.drawImage(target, image);
    }
    canvas.setDevicePixelRatio(1.0);
    return canvas;
}

ForegroundSegmentation::Result cutOut(const QImage& image, const std::atomic<bool>* cancelled,
                                      QString* unusableModel,
                                      ForegroundSegmentation::Framing framing) {
    // The learned model when it is there: where it sees no subject, the built-in method, which
    // knows far less, would only find a wrong one (the lit shelf behind a black cat).
    QString modelError;
    if (const std::shared_ptr<SaliencyModel> model = SaliencyModel::installed(&modelError)) {
        ForegroundSegmentation::Result result;
        const QImage mask =
            ModelSegmentation::foregroundMask(image, *model, &result.error, cancelled);
        if (cancelled && cancelled->load())
            return {};
        if (!mask.isNull())
            return ForegroundSegmentation::cutOutWith(image, mask);
        return result;
    }
    if (unusableModel)
        *unusableModel = modelError;
    return ForegroundSegmentation::cutOut(image, framing, cancelled);
}

std::optional<QByteArray> removeBackgroundPNG(const QByteArray& encoded,
                                              const std::atomic<bool>* cancelled) {
    const std::optional<QImage> image = ImageDecoding::decode(encoded);
    if (!image)
        return std::nullopt;
    return removeBackgroundPNG(*image, cancelled);
}

std::optional<QByteArray> removeBackgroundPNG(const QImage& image,
                                              const std::atomic<bool>* cancelled) {
    const ForegroundSegmentation::Result result = cutOut(image, cancelled);
    if (!result.error.isEmpty()) {
        qCWarning(lcPurrtick).noquote() << QStringLiteral("배경 제거 실패: ") + result.error;
        return std::nullopt;
    }
    if (!result.cutout)
        return std::nullopt;
    return encodedCutout(*result.cutout);
}

std::optional<QByteArray> encodedCutout(const QImage& cutout) {
    const qint64 pixels = qint64(cutout.width()) * cutout.height();
    return encodePng(cutout, pixels > kFastCompressionPixels ? 90 : -1);
}

} // namespace ImageEditing
