#include "settings_window/colour_well.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

ColourWell::ColourWell(Picker picker, QWidget* parent)
    : QToolButton(parent)
    , m_picker(std::move(picker)) {
    setFixedSize(44, 24);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QToolButton::clicked, this, &ColourWell::pick);
}

ColourWell::Picker ColourWell::dialogPicker(const QString& title) {
    return [title](const QColor& current, QWidget* parent) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(current, parent, title);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    };
}

void ColourWell::setColor(const QColor& color) {
    m_color = color;
    setToolTip(color.name(QColor::HexRgb).toUpper());
    update();
}

void ColourWell::pick() {
    if (!m_picker)
        return;
    const std::optional<QColor> chosen = m_picker(m_color, this);
    if (!chosen || !chosen->isValid())
        return;
    // The wells choose opaque colours; the alpha a picker might carry is dropped.
    QColor opaque = *chosen;
    opaque.setAlpha(255);
    setColor(opaque);
    emit colorPicked(opaque);
}

void ColourWell::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF swatch = QRectF(rect()).adjusted(5, 5, -5, -5);
    QColor fill = m_color;
    QColor edge = palette().color(QPalette::WindowText);
    edge.setAlphaF(0.35);
    if (!isEnabled()) {
        fill.setAlphaF(0.35);
        edge.setAlphaF(0.15);
    }
    painter.setPen(QPen(edge, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(swatch, 3, 3);
}
