#include "widget/soft_shadow.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace SoftShadow {

void blurAlpha(QImage& image, int radius) {
    if (radius <= 0 || image.isNull())
        return;
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    const int w = image.width();
    const int h = image.height();
    // The alpha bytes are addressed directly: one detach for the whole image rather than a
    // checked scan line per pixel, which made a large glyph's shadow cost milliseconds.
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int alphaOffset = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? 3 : 0;
    std::vector<int> line(size_t(std::max(w, h)));
    const int span = 2 * radius + 1;
    auto pass = [&](bool horizontal) {
        const int outer = horizontal ? h : w;
        const int inner = horizontal ? w : h;
        const qsizetype step = horizontal ? 4 : stride;
        for (int o = 0; o < outer; ++o) {
            uchar* const first = bits + alphaOffset + (horizontal ? o * stride : qsizetype(o) * 4);
            for (int i = 0; i < inner; ++i)
                line[size_t(i)] = first[i * step];
            int sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += line[size_t(std::clamp(i, 0, inner - 1))];
            for (int i = 0; i < inner; ++i) {
                first[i * step] = uchar(sum / span);
                sum += line[size_t(std::min(i + radius + 1, inner - 1))] -
                       line[size_t(std::max(i - radius, 0))];
            }
        }
    };
    for (int round = 0; round < 3; ++round) {
        pass(true);
        pass(false);
    }
}

QImage shadowOf(const QImage& layer, double blur, QPointF offset, const QColor& color) {
    const qreal ratio = layer.devicePixelRatio();
    QImage result(layer.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    result.setDevicePixelRatio(ratio);
    QPainter painter(&result);
    painter.drawImage(offset, layer);
    painter.end();
    // Three box passes of radius r spread about like a Gaussian of radius 1.5·r.
    blurAlpha(result, int(std::lround(blur * ratio / 1.5)));
    painter.begin(&result);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(layer.size()) / ratio), color);
    return result;
}

QImage withShadow(const QImage& layer, double blur, QPointF offset, const QColor& color) {
    QImage result = shadowOf(layer, blur, offset, color);
    QPainter painter(&result);
    painter.drawImage(QPointF(0, 0), layer);
    return result;
}

} // namespace SoftShadow
