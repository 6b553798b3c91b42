#include "settings/timer_font.h"

#include <QFontDatabase>
#include <QPaintDevice>

namespace {

struct FaceChoice {
    QStringList families;
    std::optional<QFont::Weight> builtInWeight; // set for the named faces
    QFont::StyleHint hint;
};

FaceChoice faceFor(TimerFontStyle style) {
    using W = QFont::Weight;
    const auto l = [](std::initializer_list<const char*> names) {
        QStringList list;
        for (const char* name : names)
            list << QString::fromLatin1(name);
        return list;
    };
    switch (style) {
    case TimerFontStyle::rounded:
        return {l({"NanumSquareRound", "Noto Sans CJK KR", "Sans Serif"}), {}, QFont::SansSerif};
    case TimerFontStyle::monospaced:
        return {l({"JetBrains Mono", "NanumGothicCoding", "Noto Sans Mono CJK KR", "Monospace"}),
                {},
                QFont::Monospace};
    case TimerFontStyle::standard:
        return {l({"Noto Sans CJK KR", "Sans Serif"}), {}, QFont::SansSerif};
    case TimerFontStyle::serif:
        return {l({"Noto Serif CJK KR", "Serif"}), {}, QFont::Serif};
    case TimerFontStyle::typewriter:
        return {l({"AmericanTypewriter-Bold", "American Typewriter", "GNUTypewriter",
                   "Courier Prime", "Monospace"}),
                W::Bold, QFont::TypeWriter};
    case TimerFontStyle::chalkboard:
        return {l({"ChalkboardSE-Bold", "Chalkboard SE", "Comic Neue", "Sans Serif"}), W::Bold,
                QFont::SansSerif};
    case TimerFontStyle::marker:
        return {l({"MarkerFelt-Wide", "Marker Felt", "Kaushan Script", "Sans Serif"}), W::Normal,
                QFont::Cursive};
    case TimerFontStyle::handwriting:
        return {l({"SnellRoundhand-Black", "Snell Roundhand", "Dancing Script", "Serif"}), W::Bold,
                QFont::Cursive};
    }
    return {l({"Sans Serif"}), {}, QFont::SansSerif};
}

} // namespace

QStringList timerFontFamilies(TimerFontStyle style) {
    return faceFor(style).families;
}

QString installedTimerFamily(TimerFontStyle style) {
    QStringList wanted = faceFor(style).families;
    wanted.removeLast(); // the generic fallback
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : wanted)
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    return {};
}

void setLogicalPixelSize(QFont& font, qreal pixelSize, const QPaintDevice& device) {
    font.setPointSizeF(pixelSize * 72.0 / device.logicalDpiY());
}

QFont timerFont(TimerFontStyle style, qreal pixelSize, QFont::Weight weight,
                const QPaintDevice& device) {
    const FaceChoice face = faceFor(style);
    QFont font;
    font.setFamilies(face.families);
    font.setStyleHint(face.hint);
    setLogicalPixelSize(font, pixelSize, device);
    font.setWeight(face.builtInWeight.value_or(weight));
    return font;
}
