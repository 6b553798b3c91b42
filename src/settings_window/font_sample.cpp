#include "settings_window/font_sample.h"

#include "settings/timer_font.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

qreal digitCell(const QFontMetricsF& metrics) {
    qreal cell = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        cell = std::max(cell, metrics.horizontalAdvance(QLatin1Char(digit)));
    return cell;
}

} // namespace

FontSample::FontSample(TimerFontStyle style, const QString& text, QWidget* parent)
    : QWidget(parent)
    , m_style(style)
    , m_text(text)
    , m_missing(installedTimerFamily(style).isEmpty()) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    if (m_missing)
        setToolTip(QStringLiteral("이 글꼴이 설치되어 있지 않아 기본 글꼴로 보여요."));
}

QFont FontSample::fontAt(qreal pixelSize) const {
    return timerFont(m_style, pixelSize, QFont::Bold, *this);
}

qreal FontSample::textWidth(qreal pixelSize) const {
    const QFontMetricsF metrics(fontAt(pixelSize), this);
    const qreal cell = digitCell(metrics);
    qreal width = 0;
    for (const QChar c : m_text)
        width += c.isDigit() ? cell : metrics.horizontalAdvance(c);
    return width;
}

qreal FontSample::fittedSize() const {
    const qreal natural = textWidth(kSize);
    if (natural <= width() || natural <= 0)
        return kSize;
    return std::max(kSize * kMinimumScale, kSize * width() / natural);
}

QSize FontSample::sizeHint() const {
    const QFontMetricsF metrics(fontAt(kSize), this);
    return QSize(int(std::ceil(textWidth(kSize))), int(std::ceil(metrics.height())));
}

QSize FontSample::minimumSizeHint() const {
    const QSize natural = sizeHint();
    return QSize(int(std::ceil(natural.width() * kMinimumScale)), natural.height());
}

void FontSample::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // A face that is not installed is said, not shown as some other face would draw it.
    if (m_missing) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("글꼴 없음"));
        return;
    }
    const qreal size = fittedSize();
    const QFont font = fontAt(size);
    const QFontMetricsF metrics(font, this);
    const qreal cell = digitCell(metrics);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    qreal x = (width() - textWidth(size)) / 2;
    const qreal baseline = (height() - metrics.height()) / 2 + metrics.ascent();
    for (const QChar c : m_text) {
        const qreal advance = metrics.horizontalAdvance(c);
        const qreal box = c.isDigit() ? cell : advance;
        // A digit sits in the middle of its cell.
        painter.drawText(QPointF(x + (box - advance) / 2, baseline), QString(c));
        x += box;
    }
}
