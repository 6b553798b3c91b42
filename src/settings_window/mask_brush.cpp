#include "settings_window/mask_brush.h"

#include "cats/opencv_image.h"

#include <algorithm>
#include <cmath>

namespace {

// How far `p` lies from the segment between `a` and `b`.
double distanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    double t = length2 > 0 ? QPointF::dotProduct(p - a, ab) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

} // namespace

MaskBrush::MaskBrush(const QImage& source, const QImage& mask)
    : m_source(source.convertToFormat(QImage::Format_ARGB32))
    , m_mask(mask.convertToFormat(QImage::Format_Grayscale8)) {
    if (m_mask.size() != m_source.size()) {
        m_mask = QImage(m_source.size(), QImage::Format_Grayscale8);
        m_mask.fill(255);
    }
    m_composed = QImage(m_source.size(), QImage::Format_ARGB32_Premultiplied);
    compose(m_source.rect());
}

void MaskBrush::press(Mode mode, QPointF at, double radius) {
    if (m_stroking)
        release();
    m_stroking = true;
    m_mode = mode;
    m_radius = std::max(0.5, radius);
    m_base = m_mask.copy();
    m_coverage = QImage(m_mask.size(), QImage::Format_Grayscale8);
    m_coverage.fill(0);
    m_touched = QRect();
    m_last = at;
    stamp(at, at);
}

void MaskBrush::moveTo(QPointF at) {
    if (!m_stroking)
        return;
    stamp(m_last, at);
    m_last = at;
}

void MaskBrush::release() {
    if (!m_stroking)
        return;
    m_stroking = false;
    if (!m_touched.isEmpty()) {
        Step step{m_touched, m_base.copy(m_touched), m_mask.copy(m_touched)};
        if (step.before != step.after) {
            m_steps.resize(m_done);
            m_steps.push_back(std::move(step));
            if (m_steps.size() > size_t(kMaxUndo))
                m_steps.erase(m_steps.begin());
            m_done = m_steps.size();
        }
    }
    m_base = QImage();
    m_coverage = QImage();
}

void MaskBrush::undo() {
    if (m_stroking || !canUndo())
        return;
    --m_done;
    put(m_steps[m_done].before, m_steps[m_done].rect);
}

void MaskBrush::redo() {
    if (m_stroking || !canRedo())
        return;
    put(m_steps[m_done].after, m_steps[m_done].rect);
    ++m_done;
}

void MaskBrush::put(const QImage& part, const QRect& rect) {
    for (int y = 0; y < rect.height(); ++y)
        std::copy_n(part.constScanLine(y), rect.width(), m_mask.scanLine(rect.y() + y) + rect.x());
    compose(rect);
}

void MaskBrush::stamp(QPointF from, QPointF to) {
    const double r = m_radius;
    const QRect reach =
        QRectF(QPointF(std::min(from.x(), to.x()) - r, std::min(from.y(), to.y()) - r),
               QPointF(std::max(from.x(), to.x()) + r, std::max(from.y(), to.y()) + r))
            .toAlignedRect() &
        m_mask.rect();
    if (reach.isEmpty())
        return;
    const double inner = r * kHardness;
    for (int y = reach.top(); y <= reach.bottom(); ++y) {
        const uchar* base = m_base.constScanLine(y);
        uchar* coverage = m_coverage.scanLine(y);
        uchar* mask = m_mask.scanLine(y);
        for (int x = reach.left(); x <= reach.right(); ++x) {
            // Pixel centres.
            const double d = distanceToSegment(QPointF(x + 0.5, y + 0.5), from, to);
            if (d >= r)
                continue;
            const int c = d <= inner ? 255 : int(std::lround(255 * (r - d) / (r - inner)));
            if (c <= coverage[x])
                continue;
            coverage[x] = uchar(c);
            const int b = base[x];
            mask[x] = uchar(m_mode == Mode::erase ? b - (b * c + 127) / 255
                                                  : b + ((255 - b) * c + 127) / 255);
        }
    }
    m_touched |= reach;
    compose(reach);
}

void MaskBrush::compose(const QRect& rect) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(m_source.constScanLine(y));
        const uchar* mask = m_mask.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(m_composed.scanLine(y));
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb p = in[x];
            const uint a = (qAlpha(p) * uint(mask[x]) + 127) / 255;
            out[x] = qRgba(qRed(p) * a / 255, qGreen(p) * a / 255, qBlue(p) * a / 255, a);
        }
    }
}

QImage MaskBrush::trimmed(QRect* bounds) const {
    const QRect visible =
        OpenCvImage::boundsAbove(m_composed.convertToFormat(QImage::Format_Alpha8), 0);
    const QRect shown = visible.isEmpty() ? m_composed.rect() : visible;
    if (bounds)
        *bounds = shown;
    QImage result = m_composed.copy(shown);
    result.setDevicePixelRatio(1.0);
    return result;
}
