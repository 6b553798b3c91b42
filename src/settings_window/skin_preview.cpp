#include "settings_window/skin_preview.h"

#include <QPainter>

SkinPreview::SkinPreview(const CatSkin& skin, BundledCat& catalogue, CustomCat& library,
                         Settings& settings, QWidget* parent)
    : QWidget(parent)
    , m_figure(catalogue, library, settings) {
    m_figure.setSkin(skin);
    m_figure.setState(TimerState::idle);
    m_figure.finishAnimations();
    m_figure.onChanged = [this] { update(); };
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize SkinPreview::sizeHint() const {
    return {int(CatFigure::kPictureSide * kScale), kBoxHeight + 2 * kPadding};
}

void SkinPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    m_figure.paint(painter, QRectF(rect()).center(), kScale);
}
