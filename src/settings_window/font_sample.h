#pragma once

#include "settings/enums.h"

#include <QWidget>

// A line of text in one of the timer's typefaces, bold, with its digits in cells of equal
// width as the widget draws them, shrunk (down to 60 %) when the space is too narrow. Where
// none of the style's faces is installed it says "글꼴 없음" instead.
class FontSample : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal kSize = 22;
    static constexpr qreal kMinimumScale = 0.6;

    FontSample(TimerFontStyle style, const QString& text, QWidget* parent = nullptr);

    // None of the style's own faces is installed.
    bool isMissing() const { return m_missing; }
    // The face the sample is drawn in.
    QFont sampleFont() const { return fontAt(fittedSize()); }

    // The pixel size the text is drawn at in the current width.
    qreal fittedSize() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The text's width at a size: digits take the widest digit's advance.
    qreal textWidth(qreal pixelSize) const;
    QFont fontAt(qreal pixelSize) const;

    TimerFontStyle m_style;
    QString m_text;
    bool m_missing;
};
