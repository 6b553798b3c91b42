#include "widget/soft_shadow.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace SoftShadow {

namespace {

constexpr int kAlphaByte = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? 3 : 0;

// The alpha of a rectangle of an image as a dense plane of bytes, blurred there by box passes:
// rows are read with the values at the ends repeated beyond them, as the blur of the whole
// image would; each mean is looked up, not divided.
class AlphaPlane {
public:
    AlphaPlane(const QImage& image, QRect area, int radius)
        : m_area(area)
        , m_width(area.width())
        , m_height(area.height())
        , m_radius(radius)
        , m_values(size_t(m_width) * size_t(m_height))
        , m_spare(m_values.size()) {
        const int span = 2 * radius + 1;
        m_mean.resize(size_t(255 * span + 1));
        for (size_t sum = 0; sum < m_mean.size(); ++sum)
            m_mean[sum] = uchar(sum / size_t(span));
        for (int y = 0; y < m_height; ++y) {
            const uchar* alpha = image.constScanLine(area.top() + y) + area.left() * 4 + kAlphaByte;
            uchar* row = rowOf(m_values, y);
            for (int x = 0; x < m_width; ++x)
                row[x] = alpha[x * 4];
        }
    }

    void boxRows() {
        std::vector<uchar> line(static_cast<size_t>(m_width));
        for (int y = 0; y < m_height; ++y) {
            uchar* row = rowOf(m_values, y);
            std::copy_n(row, m_width, line.begin());
            int sum = 0;
            for (int i = -m_radius; i <= m_radius; ++i)
                sum += line[size_t(std::clamp(i, 0, m_width - 1))];
            for (int x = 0; x < m_width; ++x) {
                row[x] = m_mean[size_t(sum)];
                sum += line[size_t(std::min(x + m_radius + 1, m_width - 1))] -
                       line[size_t(std::max(x - m_radius, 0))];
            }
        }
    }

    // Down the columns all at once, a running sum for each, row after row: the plane is read
    // in the order it lies in memory.
    void boxColumns() {
        std::vector<int> sums(size_t(m_width), 0);
        for (int i = -m_radius; i <= m_radius; ++i) {
            const uchar* row = rowOf(m_values, std::clamp(i, 0, m_height - 1));
            for (int x = 0; x < m_width; ++x)
                sums[size_t(x)] += row[x];
        }
        for (int y = 0; y < m_height; ++y) {
            uchar* out = rowOf(m_spare, y);
            const uchar* entering = rowOf(m_values, std::min(y + m_radius + 1, m_height - 1));
            const uchar* leaving = rowOf(m_values, std::max(y - m_radius, 0));
            for (int x = 0; x < m_width; ++x) {
                out[x] = m_mean[size_t(sums[size_t(x)])];
                sums[size_t(x)] += entering[x] - leaving[x];
            }
        }
        m_values.swap(m_spare);
    }

    void writeInto(QImage& image) const {
        for (int y = 0; y < m_height; ++y) {
            uchar* alpha = image.scanLine(m_area.top() + y) + m_area.left() * 4 + kAlphaByte;
            const uchar* row = rowOf(m_values, y);
            for (int x = 0; x < m_width; ++x)
                alpha[x * 4] = row[x];
        }
    }

private:
    uchar* rowOf(std::vector<uchar>& bytes, int y) const {
        return bytes.data() + size_t(y) * size_t(m_width);
    }
    const uchar* rowOf(const std::vector<uchar>& bytes, int y) const {
        return bytes.data() + size_t(y) * size_t(m_width);
    }

    QRect m_area;
    int m_width;
    int m_height;
    int m_radius;
    std::vector<uchar> m_values;
    std::vector<uchar> m_spare;
    std::vector<uchar> m_mean;
};

// A premultiplied colour at the given alpha, rounded as the raster engine's Source In
// composition rounds it.
QRgb atAlpha(QRgb colour, uint alpha) {
    uint redBlue = (colour & 0xff00ff) * alpha;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    uint alphaGreen = ((colour >> 8) & 0xff00ff) * alpha;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return alphaGreen | redBlue;
}

} // namespace

QRect coverage(const QImage& image) {
    int left = image.width(), right = -1, top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* alpha = image.constScanLine(y) + kAlphaByte;
        int first = 0;
        while (first < image.width() && alpha[first * 4] == 0)
            ++first;
        if (first == image.width())
            continue;
        int last = image.width() - 1;
        while (alpha[last * 4] == 0)
            --last;
        left = std::min(left, first);
        right = std::max(right, last);
        if (top < 0)
            top = y;
        bottom = y;
    }
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QRect blurAlpha(QImage& image, int radius) {
    if (radius <= 0 || image.isNull())
        return QRect();
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    // Three passes of radius r carry alpha 3r from where it is; beyond that everything stays
    // clear, so only the covered area and that reach are blurred (a glyph's canvas leaves room
    // for its neighbours' strokes that its own ink never touches).
    const QRect covered = coverage(image);
    if (covered.isNull())
        return QRect();
    const int reach = 3 * radius + 1;
    const QRect area = covered.adjusted(-reach, -reach, reach, reach).intersected(image.rect());
    AlphaPlane plane(image, area, radius);
    for (int round = 0; round < 3; ++round) {
        plane.boxRows();
        plane.boxColumns();
    }
    plane.writeInto(image);
    return area;
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
    const QRect blurred = blurAlpha(result, int(std::lround(blur * ratio / 1.5)));
    // Tinted pixel by pixel where there is any alpha (for a large layer the painter would hand
    // the fill to a thread); beyond the blurred area everything is clear.
    const QRgb tint = color.rgba64().premultiplied().toArgb32();
    const QRect tinted = blurred.isNull() ? coverage(result) : blurred;
    for (int y = tinted.top(); y <= tinted.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = tinted.left(); x <= tinted.right(); ++x)
            line[x] = atAlpha(tint, qAlpha(line[x]));
    }
    return result;
}

QImage withShadow(const QImage& layer, double blur, QPointF offset, const QColor& color) {
    QImage result = shadowOf(layer, blur, offset, color);
    QPainter painter(&result);
    painter.drawImage(QPointF(0, 0), layer);
    return result;
}

} // namespace SoftShadow
