#pragma once

#include "widget/cat_figure.h"

#include <QWidget>

// A built-in cat as the widget draws it at rest, shrunk to 70 %, for the skin cards.
class SkinPreview : public QWidget {
    Q_OBJECT

public:
    // The figure's box is 56 points high; the card's 6 points above and below are the
    // preview's too, as the figure is taller than its box.
    static constexpr int kBoxHeight = 56;
    static constexpr int kPadding = 6;
    static constexpr double kScale = 0.7;

    SkinPreview(const CatSkin& skin, BundledCat& catalogue, CustomCat& library, Settings& settings,
                QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CatFigure m_figure;
};
