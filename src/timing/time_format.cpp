#include "timing/time_format.h"

#include "timing/saturating.h"

#include <cmath>

namespace {

void appendNumber(QString& out, std::int64_t value, int minDigits = 1) {
    char digits[24];
    int n = 0;
    std::uint64_t v = std::uint64_t(value);
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n < minDigits)
        digits[n++] = '0';
    while (n > 0)
        out.append(QChar(char16_t(digits[--n])));
}

} // namespace

QString colonTime(std::initializer_list<std::int64_t> fields, int firstDigits) {
    QString out;
    out.reserve(12);
    int digits = firstDigits;
    for (const std::int64_t field : fields) {
        if (!out.isEmpty())
            out.append(u':');
        appendNumber(out, field, digits);
        digits = 2;
    }
    return out;
}

QString formatSeconds(TimerDisplayFormat format, std::int64_t seconds) {
    const std::int64_t s = std::max<std::int64_t>(seconds, 0);
    const std::int64_t h = s / 3600;
    const std::int64_t r = s - 3600 * h;
    const std::int64_t m = r / 60;
    const std::int64_t sec = s % 60;
    // For the whole-minute formats a remainder of 30 s or more counts as the next minute.
    const std::int64_t t = saturatingAdd(s, 30);

    switch (format) {
    case TimerDisplayFormat::automatic: {
        if (seconds < 3600)
            return colonTime({m, sec}, 2);
        return colonTime({h, m, sec}, 1);
    }
    case TimerDisplayFormat::noSeconds:
        return colonTime({t / 3600, (t / 60) % 60}, 1);
    case TimerDisplayFormat::minutesWithUnit: {
        QString out;
        appendNumber(out, t / 60);
        out.append(u'm');
        return out;
    }
    case TimerDisplayFormat::secondsWithUnit: {
        QString out;
        appendNumber(out, s);
        out.append(u's');
        return out;
    }
    case TimerDisplayFormat::korean: {
        QString out;
        if (seconds >= 3600) {
            appendNumber(out, h);
            out.append(u"시간");
        }
        if (r >= 60) {
            if (!out.isEmpty())
                out.append(u' ');
            appendNumber(out, m);
            out.append(u"분");
        }
        if (sec != 0 || out.isEmpty()) {
            if (!out.isEmpty())
                out.append(u' ');
            appendNumber(out, sec);
            out.append(u"초");
        }
        return out;
    }
    }
    return QString();
}

std::int64_t roundedSeconds(double seconds) {
    if (std::isnan(seconds))
        return 0;
    const double rounded = std::round(seconds);
    // 2^63 is exactly representable; anything at or beyond it saturates.
    constexpr double limit = 9223372036854775808.0;
    if (rounded >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (rounded < -limit)
        return std::numeric_limits<std::int64_t>::min();
    return std::int64_t(rounded);
}
