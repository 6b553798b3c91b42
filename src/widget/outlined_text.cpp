#include "widget/outlined_text.h"

#include "settings/timer_font.h"
#include "widget/soft_shadow.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <list>
#include <vector>

namespace OutlinedText {
namespace {

constexpr double kShadowBlur = 2.0;
constexpr double kShadowOffsetY = 1.0;
constexpr double kShadowOpacity = 0.5;

QFont fontFor(TimerFontStyle style, double size, const QPaintDevice& device) {
    QFont font = timerFont(style, size, QFont::Black, device);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Text is measured against an image like the ones it is drawn into, so that both turn the
// font's size into the same number of pixels.
const QImage& measuringDevice() {
    static const QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    return device;
}

// Each character's x position; digits sit centred in cells as wide as the widest digit, so
// the text does not jitter as the time changes.
struct Layout {
    std::vector<double> x;
    std::vector<double> advance;
    double width = 0.0;
};

Layout layOut(const QString& text, const QFontMetricsF& metrics) {
    double digitCell = 0.0;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        digitCell = std::max(digitCell, metrics.horizontalAdvance(QChar(digit)));
    Layout layout;
    for (const QChar c : text) {
        const double natural = metrics.horizontalAdvance(c);
        const double cell = c.isDigit() ? digitCell : natural;
        layout.x.push_back(layout.width + (cell - natural) / 2.0);
        layout.advance.push_back(cell);
        layout.width += cell;
    }
    return layout;
}

void drawText(QPainter& painter, const QString& text, const Layout& layout, QPointF origin) {
    for (qsizetype i = 0; i < text.size(); ++i)
        painter.drawText(QPointF(origin.x() + layout.x[size_t(i)], origin.y()), QString(text[i]));
}

} // namespace

QList<QPointF> outlineOffsets(double d) {
    return {QPointF(d, 0), QPointF(-d, 0), QPointF(0, d),  QPointF(0, -d),
            QPointF(d, d), QPointF(-d, d), QPointF(d, -d), QPointF(-d, -d)};
}

QSizeF measure(const QString& text, double size, TimerFontStyle font) {
    const QImage& device = measuringDevice();
    const QFontMetricsF metrics(fontFor(font, size, device), &device);
    return QSizeF(layOut(text, metrics).width, metrics.height());
}

Rendering render(const QString& text, double size, const TimerTextStyle& style,
                 qreal devicePixelRatio) {
    const QImage& device = measuringDevice();
    const QFont font = fontFor(style.font, size, device);
    const QFontMetricsF metrics(font, &device);
    const Layout layout = layOut(text, metrics);
    const QSizeF textSize(layout.width, metrics.height());

    const double reach = (style.showOutline ? style.lineWidth : 0.0);
    const double margin = std::ceil(reach + 3.0 * kShadowBlur + kShadowOffsetY + 1.0);
    const QSizeF canvas(textSize.width() + 2 * margin, textSize.height() + 2 * margin);
    const QSize pixels = (canvas * devicePixelRatio).toSize().expandedTo(QSize(1, 1));

    // The stack of text layers, then the shadow made from its coverage underneath.
    QImage stack(pixels, QImage::Format_ARGB32_Premultiplied);
    stack.fill(Qt::transparent);
    stack.setDevicePixelRatio(devicePixelRatio);
    const QPointF baseline(margin, margin + metrics.ascent());
    {
        QPainter painter(&stack);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(fontFor(style.font, size, stack));
        if (style.showOutline) {
            painter.setPen(style.stroke);
            for (const QPointF& offset : outlineOffsets(style.lineWidth))
                drawText(painter, text, layout, baseline + offset);
        }
        painter.setPen(style.fill);
        drawText(painter, text, layout, baseline);
    }

    const QImage withShadow = SoftShadow::withShadow(stack, kShadowBlur, QPointF(0, kShadowOffsetY),
                                                     QColor(0, 0, 0, int(255 * kShadowOpacity)));
    return Rendering{withShadow,
                     QPointF(margin + textSize.width() / 2, margin + textSize.height() / 2),
                     textSize};
}

const Rendering& cached(const QString& text, double size, const TimerTextStyle& style,
                        qreal devicePixelRatio) {
    struct Entry {
        QString text;
        double size;
        TimerTextStyle style;
        qreal ratio;
        Rendering rendering;
    };
    // Enough for the current text, the next one and a few styles while the user tries them.
    static std::list<Entry> entries;
    constexpr size_t kCapacity = 6;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->text == text && it->size == size && it->style == style &&
            it->ratio == devicePixelRatio) {
            entries.splice(entries.begin(), entries, it);
            return entries.front().rendering;
        }
    }
    entries.push_front(
        Entry{text, size, style, devicePixelRatio, render(text, size, style, devicePixelRatio)});
    if (entries.size() > kCapacity)
        entries.pop_back();
    return entries.front().rendering;
}

} // namespace OutlinedText
