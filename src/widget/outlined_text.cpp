#include "widget/outlined_text.h"

#include "settings/timer_font.h"
#include "widget/soft_shadow.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <list>
#include <optional>
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
    // Where the layers lie on the glyph's canvas, in device pixels: they hold only the pixels
    // any of them covers (the canvas leaves room for strokes and shadow that few glyphs need).
    QRect ink;
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
    Glyph glyph{QImage(), blank(), blank(), QRect()};
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
    glyph.ink = SoftShadow::coverage(glyph.shadow) | SoftShadow::coverage(stack);
    if (glyph.ink.isNull())
        return Glyph{};
    for (QImage* layer : {&glyph.shadow, &glyph.outline, &glyph.fill})
        *layer = layer->copy(glyph.ink);
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

// A text's glyphs and where each one's canvas starts in the text's image, in device pixels.
struct PlacedGlyphs {
    std::vector<Glyph> glyphs;
    std::vector<int> x;

    QRect inkOf(size_t i) const { return glyphs[i].ink.translated(x[i], 0); }
};

int canvasLeft(const Layout& layout, size_t i, qreal ratio) {
    return int(std::lround(layout.x[i] * ratio));
}

PlacedGlyphs place(const QString& text, const Layout& layout, double size,
                   const TimerTextStyle& style, qreal ratio) {
    // The glyphs are held by value: a long text at a large size may push its own first glyphs
    // out of the cache before the last ones are drawn.
    PlacedGlyphs placed;
    for (qsizetype i = 0; i < text.size(); ++i) {
        placed.glyphs.push_back(cachedGlyph(text[i], size, style, ratio));
        placed.x.push_back(canvasLeft(layout, size_t(i), ratio));
    }
    return placed;
}

// Draws the text's layers anew within a band of whole columns of its image (device pixels):
// cleared, then every glyph whose ink reaches into it, as in one drawing of the whole text:
// every shadow first (added up, as the blur of the glyphs together would be), then every
// outline, then every fill. The band is painted through a view of its own pixels, so each glyph
// lands on exactly the pixels it covers when the whole image is drawn.
void composeColumns(QImage& image, const PlacedGlyphs& placed, const TimerTextStyle& style,
                    int left, int right) {
    left = std::max(left, 0);
    right = std::min(right, image.width());
    if (left >= right)
        return;
    const qreal ratio = image.devicePixelRatio();
    QImage band(image.bits() + qsizetype(left) * 4, right - left, image.height(),
                image.bytesPerLine(), QImage::Format_ARGB32_Premultiplied);
    band.setDevicePixelRatio(ratio);
    for (int y = 0; y < band.height(); ++y)
        std::fill_n(band.scanLine(y), qsizetype(band.width()) * 4, uchar(0));
    auto reaches = [&](size_t i) {
        const QRect ink = placed.inkOf(i);
        return !ink.isEmpty() && ink.left() < right && ink.right() >= left;
    };
    for (size_t i = 0; i < placed.glyphs.size(); ++i)
        if (reaches(i))
            addSaturating(band, placed.glyphs[i].shadow,
                          placed.inkOf(i).topLeft() - QPoint(left, 0));
    QPainter painter(&band);
    auto at = [&](size_t i) {
        return QPointF(placed.inkOf(i).topLeft() - QPoint(left, 0)) / ratio;
    };
    if (style.showOutline)
        for (size_t i = 0; i < placed.glyphs.size(); ++i)
            if (reaches(i))
                painter.drawImage(at(i), placed.glyphs[i].outline);
    for (size_t i = 0; i < placed.glyphs.size(); ++i)
        if (reaches(i))
            painter.drawImage(at(i), placed.glyphs[i].fill);
}

// Where the text itself starts in its image, in points: outline, shadow and the room for
// leaning strokes lie before it.
QPointF textOrigin(double size, const TimerTextStyle& style) {
    const double margin = marginFor(style);
    return QPointF(margin + std::ceil(kOverhang * size), margin);
}

QSize imagePixels(const Layout& layout, const FontMeasures& metrics, double size,
                  const TimerTextStyle& style, qreal ratio) {
    const QPointF origin = textOrigin(size, style);
    const QSizeF canvas(layout.width + 2 * origin.x(), metrics.height() + 2 * origin.y());
    return (canvas * ratio).toSize().expandedTo(QSize(1, 1));
}

// Two texts are laid out alike when every character sits where it did (a countdown's next
// second): their images have the same size and differ only at the characters that changed.
bool laidOutAlike(const Layout& a, const Layout& b) {
    return a.x == b.x && a.width == b.width;
}

// Where the images of two texts laid out alike differ, in device pixels of the image: for each
// character that changed, the ink of its old glyph and of its new one; neighbours that touch
// are joined.
std::vector<QRect> changedInk(const QString& from, const QString& to, const Layout& layout,
                              double size, const TimerTextStyle& style, qreal ratio) {
    std::vector<QRect> areas;
    for (qsizetype i = 0; i < to.size(); ++i) {
        if (to[i] == from[i])
            continue;
        QRect ink = cachedGlyph(from[i], size, style, ratio).ink;
        ink |= cachedGlyph(to[i], size, style, ratio).ink;
        if (ink.isNull())
            continue;
        ink.translate(canvasLeft(layout, size_t(i), ratio), 0);
        if (!areas.empty() && areas.back().right() + 1 >= ink.left())
            areas.back() |= ink;
        else
            areas.push_back(ink);
    }
    return areas;
}

// Turns the image of `from` into that of `to`, laid out alike, where the two differ.
void redrawChanges(QImage& image, const QString& from, const QString& to, const Layout& layout,
                   double size, const TimerTextStyle& style) {
    const qreal ratio = image.devicePixelRatio();
    const PlacedGlyphs placed = place(to, layout, size, style, ratio);
    for (const QRect& area : changedInk(from, to, layout, size, style, ratio))
        composeColumns(image, placed, style, area.left(), area.right() + 1);
}

Rendering renderingOf(QImage image, const Layout& layout, const FontMeasures& metrics, double size,
                      const TimerTextStyle& style) {
    const QSizeF textSize(layout.width, metrics.height());
    const QPointF center =
        textOrigin(size, style) + QPointF(textSize.width(), textSize.height()) / 2;
    return Rendering{std::move(image), center, textSize};
}

// An image of the given size for a text to be drawn into: the one given where it fits and
// nobody else shares it, so a countdown's new text reuses the pixels of one gone out of use.
QImage imageFor(QImage image, QSize pixels, qreal ratio) {
    if (image.size() != pixels || image.format() != QImage::Format_ARGB32_Premultiplied ||
        !image.isDetached())
        image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    return image;
}

Rendering renderInto(QImage image, const QString& text, double size, const TimerTextStyle& style,
                     qreal ratio) {
    const FontMeasures& metrics = measuresFor(style.font, size);
    const Layout layout = layOut(text, metrics);
    image = imageFor(std::move(image), imagePixels(layout, metrics, size, style, ratio), ratio);
    composeColumns(image, place(text, layout, size, style, ratio), style, 0, image.width());
    return renderingOf(std::move(image), layout, metrics, size, style);
}

} // namespace

std::optional<QRectF> changedArea(const QString& from, const QString& to, double size,
                                  const TimerTextStyle& style, qreal devicePixelRatio) {
    const FontMeasures& metrics = measuresFor(style.font, size);
    const Layout layout = layOut(to, metrics);
    if (!laidOutAlike(layOut(from, metrics), layout))
        return std::nullopt;
    QRect ink;
    for (const QRect& area : changedInk(from, to, layout, size, style, devicePixelRatio))
        ink |= area;
    if (ink.isNull())
        return QRectF();
    const QRectF points(ink.x() / devicePixelRatio, ink.y() / devicePixelRatio,
                        ink.width() / devicePixelRatio, ink.height() / devicePixelRatio);
    return points.translated(-textOrigin(size, style));
}

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
    // Enough for the current text and a few styles while the user tries them.
    static std::list<Entry> entries;
    constexpr size_t kCapacity = 6;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->text == text && it->size == size && it->style == style &&
            it->ratio == devicePixelRatio) {
            entries.splice(entries.begin(), entries, it);
            return entries.front().rendering;
        }
    }
    // The text drawn last, laid out alike (a countdown's next second), is drawn over where the
    // two differ: in its own pixels when nobody else holds them (the earlier text is seldom
    // asked for again), else in a copy.
    const FontMeasures& metrics = measuresFor(style.font, size);
    const Layout layout = layOut(text, metrics);
    Entry* last = entries.empty() ? nullptr : &entries.front();
    const bool follows = last && last->size == size && last->style == style &&
                         last->ratio == devicePixelRatio &&
                         laidOutAlike(layOut(last->text, metrics), layout);
    if (follows && last->rendering.image.isDetached()) {
        redrawChanges(last->rendering.image, last->text, text, layout, size, style);
        last->text = text;
        return last->rendering;
    }
    QImage recycled;
    if (entries.size() == kCapacity) {
        recycled = std::move(entries.back().rendering.image);
        entries.pop_back();
    }
    Rendering rendering;
    if (follows) {
        const QImage& before = entries.front().rendering.image;
        QImage image = imageFor(std::move(recycled), before.size(), devicePixelRatio);
        std::copy_n(before.constBits(), image.sizeInBytes(), image.bits());
        redrawChanges(image, entries.front().text, text, layout, size, style);
        rendering = renderingOf(std::move(image), layout, metrics, size, style);
    } else {
        rendering = renderInto(std::move(recycled), text, size, style, devicePixelRatio);
    }
    entries.push_front(Entry{text, size, style, devicePixelRatio, std::move(rendering)});
    return entries.front().rendering;
}

} // namespace OutlinedText
