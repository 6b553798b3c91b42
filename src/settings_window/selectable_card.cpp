#include "settings_window/selectable_card.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr qreal kOutlineWidth = 2.0;

} // namespace

SelectableCard::SelectableCard(qreal cornerRadius, QWidget* parent)
    : QAbstractButton(parent)
    , m_cornerRadius(cornerRadius) {
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    // Cards side by side in a grid row take the row's height, so their edges line up.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void SelectableCard::setContent(QWidget* content) {
    m_content = content;
    content->setParent(this);
    content->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (QWidget* child : content->findChildren<QWidget*>())
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout()->addWidget(content);
    updateGeometry();
}

QSize SelectableCard::sizeHint() const {
    return m_content ? m_content->sizeHint() : QSize(40, 40);
}

QSize SelectableCard::minimumSizeHint() const {
    return m_content ? QSize(10, m_content->minimumSizeHint().height()) : QSize(10, 10);
}

void SelectableCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor accent = palette().color(QPalette::Highlight);
    const QRectF box = QRectF(rect()).adjusted(kOutlineWidth / 2, kOutlineWidth / 2,
                                               -kOutlineWidth / 2, -kOutlineWidth / 2);
    QColor fill = isChecked() ? accent : QColor(Qt::gray);
    fill.setAlphaF(isChecked() ? 0.25 : 0.12);
    painter.setPen(isChecked() ? QPen(accent, kOutlineWidth) : Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(box, m_cornerRadius, m_cornerRadius);
    if (hasFocus()) {
        // Keyboard focus shows as a dashed ring inside the card.
        QPen ring(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(3, 3, -3, -3), m_cornerRadius - 2, m_cornerRadius - 2);
    }
}
