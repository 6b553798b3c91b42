#include "widget/outlined_text.h"

#include "settings/timer_font.h"
#include "widget/soft_shadow.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <list>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// The measures of one font at one size, looked up once: a font lookup and its advances cost
// more than drawing the text from its cached glyphs.
class FontMeasures {
public:
    FontMeasures(TimerFontStyle style, double size)
        : m_style(style)
        , m_size(size)
        , m_metrics(fontFor(style, size, measuringDevice()), &measuringDevice())
        , m_height(m_metrics.height())
        , m_ascent(m_metrics.ascent()) {
        for (char16_t digit = u'0'; digit <= u'9'; ++digit)
            m_digitCell = std::max(m_digitCell, advance(QChar(digit)));
    }
    bool isFor(TimerFontStyle style, double size) const {
        return style == m_style && size == m_size;
    }
    double height() const { return m_height; }
    double ascent() const { return m_ascent; }
    double digitCell() const { return m_digitCell; }
    double advance(QChar c) const {
        auto it = m_advances.constFind(c.unicode());
        if (it == m_advances.constEnd())
            it = m_advances.insert(c.unicode(), m_metrics.horizontalAdvance(c));
        return *it;
    }

private:
    TimerFontStyle m_style;
    double m_size;
    QFontMetricsF m_metrics;
    double m_height;
    double m_ascent;
    double m_digitCell = 0.0;
    mutable QHash<char16_t, double> m_advances;
};

const FontMeasures& measuresFor(TimerFontStyle style, double size) {
    static std::list<FontMeasures> recent;
    for (auto it = recent.begin(); it != recent.end(); ++it)
        if (it->isFor(style, size)) {
            recent.splice(recent.begin(), recent, it);
            return recent.front();
        }
    recent.emplace_front(style, size);
    if (recent.size() > 4)
        recent.pop_back();
    return recent.front();
}

// Each character's x position; digits sit centred in cells as wide as the widest digit, so
// the text does not jitter as the time changes.
struct Layout {
    std::vector<double> x;
    std::vector<double> advance;
    double width = 0.0;
};

Layout layOut(const QString& text, const FontMeasures& measures) {
    Layout layout;
    for (const QChar c : text) {
        const double natural = measures.advance(c);
        const double cell = c.isDigit() ? measures.digitCell() : natural;
        layout.x.push_back(layout.width + (cell - natural) / 2.0);
        layout.advance.push_back(cell);
        layout.width += cell;
    }
    return layout;
}

double marginFor(const TimerTextStyle& style) {
    const double reach = style.showOutline ? style.lineWidth : 0.0;
    return std::ceil(reach + 3.0 * kShadowBlur + kShadowOffsetY + 1.0);
}

// One character in the three layers the text is composed of: its shadow, its eight outline
// copies and its fill. Drawing text costs glyph rasterisation (paths above 64 pixels) and a
// blur; with the layers kept per character, a new time is a few image copies.
struct Glyph {
    QImage shadow;
    QImage outline;
    QImage fill;
};

Glyph renderGlyph(QChar c, double size, const TimerTextStyle& style, qreal ratio) {
    const FontMeasures& metrics = measuresFor(style.font, size);
    const double margin = marginFor(style);
    const double overhang = std::ceil(kOverhang * size);
    const QSizeF canvas(metrics.advance(c) + 2 * (margin + overhang),
                        metrics.height() + 2 * margin);
    const QSize pixels = (canvas * ratio).toSize().expandedTo(QSize(1, 1));
    auto blank = [&] {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setDevicePixelRatio(ratio);
        return image;
    };
    Glyph glyph{QImage(), blank(), blank()};
    const QPointF baseline(margin + overhang, margin + metrics.ascent());
    const QString text(c);
    auto draw = [&](QImage& image, const QColor& colour, const QList<QPointF>& offsets) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(fontFor(style.font, size, image));
        painter.setPen(colour);
        for (const QPointF& offset : offsets)
            painter.drawText(baseline + offset, text);
    };
    if (style.showOutline)
        draw(glyph.outline, style.stroke, outlineOffsets(style.lineWidth));
    draw(glyph.fill, style.fill, {QPointF(0, 0)});

    QImage stack = glyph.outline;
    {
        QPainter painter(&stack);
        painter.drawImage(QPointF(0, 0), glyph.fill);
    }
    glyph.shadow = SoftShadow::shadowOf(stack, kShadowBlur, QPointF(0, kShadowOffsetY),
                                        QColor(0, 0, 0, int(255 * kShadowOpacity)));
    return glyph;
}

// The glyphs drawn lately, least recently used dropped first, within a memory budget.
const Glyph& cachedGlyph(QChar c, double size, const TimerTextStyle& style, qreal ratio) {
    struct Entry {
        QChar c;
        double size;
        TimerTextStyle style;
        qreal ratio;
        Glyph glyph;
        qint64 bytes() const {
            return glyph.shadow.sizeInBytes() + glyph.outline.sizeInBytes() +
                   glyph.fill.sizeInBytes();
        }
    };
    static std::list<Entry> entries;
    static qint64 total = 0;
    constexpr qint64 kBudget = 16LL * 1024 * 1024;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->c == c && it->size == size && it->style == style && it->ratio == ratio) {
            entries.splice(entries.begin(), entries, it);
            return entries.front().glyph;
        }
    }
    entries.push_front(Entry{c, size, style, ratio, renderGlyph(c, size, style, ratio)});
    total += entries.front().bytes();
    while (total > kBudget && entries.size() > 1) {
        total -= entries.back().bytes();
        entries.pop_back();
    }
    return entries.front().glyph;
}

} // namespace

QList<QPointF> outlineOffsets(double d) {
    return {QPointF(d, 0), QPointF(-d, 0), QPointF(0, d),  QPointF(0, -d),
            QPointF(d, d), QPointF(-d, d), QPointF(d, -d), QPointF(-d, -d)};
}

QSizeF measure(const QString& text, double size, TimerFontStyle font) {
    const FontMeasures& measures = measuresFor(font, size);
    return QSizeF(layOut(text, measures).width, measures.height());
}

namespace {

// Adds `count` bytes of `from` to `into`, each saturating at 255.
void addBytesSaturating(uchar* into, const uchar* from, qsizetype count) {
    qsizetype i = 0;
#ifdef __SSE2__
    for (; i + 16 <= count; i += 16) {
        const __m128i sum =
            _mm_adds_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(into + i)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(into + i), sum);
    }
#endif
    for (; i < count; ++i)
        into[i] = uchar(std::min(255, into[i] + from[i]));
}

// Adds the source's premultiplied channels to the target's, saturating, with the source's
// top-left at a whole device pixel: the Plus composition. QPainter takes its generic path for
// Plus, which hands large images to a thread pool, and for a few glyph shadows a second the
// hand-over costs more than the sums.
void addSaturating(QImage& target, const QImage& source, QPoint at) {
    const QRect area = QRect(at, source.size()).intersected(target.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        addBytesSaturating(target.scanLine(y) + qsizetype(area.left()) * 4,
                           source.constScanLine(y - at.y()) + qsizetype(area.left() - at.x()) * 4,
                           qsizetype(area.width()) * 4);
}

// render() into the given image where it has the size wanted and nobody else shares it, so a
// countdown's new text each second reuses the pixels of one that went out of use.
Rendering renderInto(QImage image, const QString& text, double size, const TimerTextStyle& style,
                     qreal devicePixelRatio) {
    const FontMeasures& metrics = measuresFor(style.font, size);
    const Layout layout = layOut(text, metrics);
    const QSizeF textSize(layout.width, metrics.height());

    const double margin = marginFor(style);
    const double overhang = std::ceil(kOverhang * size);
    const QSizeF canvas(textSize.width() + 2 * (margin + overhang), textSize.height() + 2 * margin);
    const QSize pixels = (canvas * devicePixelRatio).toSize().expandedTo(QSize(1, 1));
    if (image.size() != pixels || image.format() != QImage::Format_ARGB32_Premultiplied ||
        !image.isDetached())
        image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(devicePixelRatio);

    // Each glyph's layers at its place, on whole device pixels. As in one drawing of the whole
    // text: every shadow first (added up, as the blur of the glyphs together would be), then
    // every outline, then every fill. The glyphs are held by value: a long text at a large size
    // may push its own first glyphs out of the cache before the last ones are drawn.
    std::vector<Glyph> glyphs;
    std::vector<int> places;
    for (qsizetype i = 0; i < text.size(); ++i) {
        glyphs.push_back(cachedGlyph(text[i], size, style, devicePixelRatio));
        places.push_back(int(std::lround(layout.x[size_t(i)] * devicePixelRatio)));
    }
    for (size_t i = 0; i < glyphs.size(); ++i)
        addSaturating(image, glyphs[i].shadow, QPoint(places[i], 0));
    QPainter painter(&image);
    auto at = [&](size_t i) { return QPointF(places[i] / devicePixelRatio, 0.0); };
    if (style.showOutline)
        for (size_t i = 0; i < glyphs.size(); ++i)
            painter.drawImage(at(i), glyphs[i].outline);
    for (size_t i = 0; i < glyphs.size(); ++i)
        painter.drawImage(at(i), glyphs[i].fill);
    painter.end();
    return Rendering{
        image, QPointF(margin + overhang + textSize.width() / 2, margin + textSize.height() / 2),
        textSize};
}

} // namespace

Rendering render(const QString& text, double size, const TimerTextStyle& style,
                 qreal devicePixelRatio) {
    return renderInto(QImage(), text, size, style, devicePixelRatio);
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
    QImage recycled;
    if (entries.size() == kCapacity) {
        recycled = std::move(entries.back().rendering.image);
        entries.pop_back();
    }
    entries.push_front(Entry{text, size, style, devicePixelRatio,
                             renderInto(std::move(recycled), text, size, style, devicePixelRatio)});
    return entries.front().rendering;
}

} // namespace OutlinedText
