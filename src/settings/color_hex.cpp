#include "settings/color_hex.h"

#include <algorithm>
#include <cmath>

namespace {

// Component (0 to 1) to a byte, halves away from zero. Extended-range components are clamped
// so the text always has two digits per component.
int toByte(float component) {
    const double scaled = std::round(double(component) * 255.0);
    if (!(scaled >= 0.0))
        return 0;
    return int(std::min(scaled, 255.0));
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// A hexadecimal scan in the manner of a C scanner: an optional "0x" prefix, then the longest
// run of hexadecimal digits; fails when there is none.
std::optional<quint64> scanHex(QStringView text) {
    if (text.size() >= 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X') &&
        text.size() > 2 && hexDigit(text[2]) >= 0)
        text = text.mid(2);
    quint64 value = 0;
    qsizetype digits = 0;
    for (QChar c : text) {
        const int d = hexDigit(c);
        if (d < 0)
            break;
        value = (value << 4) | quint64(d);
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

} // namespace

QString colorHexString(const QColor& color) {
    QColor rgb = color.isValid() ? color.toRgb() : QColor(Qt::white);
    if (!rgb.isValid())
        rgb = QColor(Qt::white);
    const int r = toByte(rgb.redF());
    const int g = toByte(rgb.greenF());
    const int b = toByte(rgb.blueF());
    const int a = toByte(rgb.alphaF());
    if (a > 254)
        return QString::asprintf("#%02X%02X%02X", r, g, b);
    return QString::asprintf("#%02X%02X%02X%02X", r, g, b, a);
}

std::optional<QColor> colorFromHexString(QStringView text) {
    text = text.trimmed();
    if (text.startsWith(u'#'))
        text = text.mid(1);
    if (text.size() != 6 && text.size() != 8)
        return std::nullopt;
    const std::optional<quint64> scanned = scanHex(text);
    if (!scanned)
        return std::nullopt;
    const quint64 v = *scanned;
    auto component = [v](int shift) { return float((v >> shift) & 255) / 255.0f; };
    if (text.size() == 8)
        return QColor::fromRgbF(component(24), component(16), component(8), component(0));
    return QColor::fromRgbF(component(16), component(8), component(0), 1.0f);
}
